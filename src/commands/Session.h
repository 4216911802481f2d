// Everything one running analysis keeps: data, model, graph state, dialog exchange, help.
#pragma once

#include <string>

#include "data/DataState.h"
#include "graph/GraphState.h"
#include "model/ModelState.h"

namespace ombrix {

struct HelpState {
    long MainWnd = 0;          // the main window on whose behalf help is asked
    std::string HelpFilePath;  // program folder + help file, set once at start
};

struct Session {
    DataState data;
    ModelState model;
    GraphState graph;
    DialogExchange dlg;
    HelpState help;
};

}  // namespace ombrix
