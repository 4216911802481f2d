// Everything one running analysis keeps: data, model, graph state, dialog exchange, help.
#pragma once

#include <optional>
#include <string>

#include "data/DataState.h"
#include "graph/GraphState.h"
#include "model/ModelState.h"
#include "model/Savings.h"

namespace ombrix {

struct HelpState {
    long MainWnd = 0;          // the main window on whose behalf help is asked
    std::string HelpFilePath;  // program folder + help file, set once at start
};

// The text editor's flags and the answers of its save prompt and find dialog; they outlive
// the windows, which are created anew each time.
struct EditorState {
    bool TextChanged = false;  // text modified since the window was created or the last Open
    bool TextSaved = false;    // a save happened (or was declined) since the window was created
    bool Untitled = true;      // the text has no file yet, so Save behaves as Save As
    bool SaveAnswerYes = false;
    bool SaveAnswerCancel = false;
    std::string FindText;  // what to search for; empty = nothing to search
    bool FindCancelled = false;
    long FindPos = 0;  // 1-based position of the last match; 0 before the first
};

// What a savings calculation found, unrounded, for callers that need more than its report.
struct SavingsOutcome {
    ChangePointModel model;
    long n = 0;  // observations of the model
    SavingsTotals totals;
};

struct Session {
    DataState data;
    ModelState model;
    GraphState graph;
    DialogExchange dlg;
    HelpState help;
    EditorState editor;
    // The last savings calculation, once it has run to its end with both files written; empty
    // before the first one and after one that stopped.
    std::optional<SavingsOutcome> lastSavings;
};

}  // namespace ombrix
