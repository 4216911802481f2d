// The loaded analysis: energy and weather tables, the current working table with its captions
// and time-stamp columns, the pre/post marking, the model table and the dialog exchange.
#pragma once

#include <string>

#include "data/Table.h"
#include "platform/Canvas.h"

namespace ombrix {

struct DataState {
    // Energy table: row r holds the (r+1)-th meter reading; columns 1..8 month, day, year,
    // electricity use, electricity demand, thermal use, electricity flag, thermal flag.
    Table EnergyData;
    long EnergyLastRow = 0;
    long EnergyCols = 0;
    bool EnergyOpen = false;
    std::string EnergyDir;   // folder of the energy file, ending with "/"
    std::string EnergyFile;  // its name, as chosen

    // Weather table: rows 1..WeatherRows one day each; columns month, day, year, temperature.
    Table WeatherData;
    long WeatherRows = 0;
    long WeatherCols = 0;
    bool WeatherOpen = false;

    // Current working table: a file as read (rows 1..DataRows) or the merged table.
    Table DataTable;
    long DataRows = 0;
    long DataCols = 0;
    TextList ColNames;
    long MoCol = 0;
    long DyCol = 0;
    long YrCol = 0;
    long HrCol = 0;
    int TimeStampKind = 0;  // 0 none, 1 year, 2 month+year, 3 month+day+year, 4 with hour

    // Pre/post-retrofit marking of graphs.
    long PrePostCol = 0;
    Color PreColor = kBlack;
    Color PostColor = kBlack;

    // Fitted model of each quantity: rows 1 elec use, 2 elec demand, 3 thermal use; columns
    // 1 first change point (-99 for one change point), 2 second or only change point, 3 energy
    // at the change point(s), 4 left slope, 5 right slope. Unallocated until an energy file.
    Table ModelTable;

    double MissingValue = kMissingValue;
    std::string MsgText;
};

// Exchange with the file-open and file-save dialogs.
struct DialogExchange {
    std::string DlgPath;  // chosen folder ending with "/"; empty after Cancel
    std::string DlgFile;  // chosen file name; empty after Cancel
    std::string DlgPattern;
    std::string OpenCancelled;  // "on" after Cancel, "off" after an accept or OK; "" before use
    std::string SaveCancelled;  // "on" after Cancel, "off" after an accept; "" before use
};

}  // namespace ombrix
