// The entry point of the graph export module that ombrix-batch loads on its first save-graph.
#pragma once

#include <string>

#include "platform/Picture.h"

// Writes picture to path (.svg or .png, 1200 x 800); false with error set when it cannot.
#define OMBRIX_GRAPH_EXPORT_ENTRY ombrixExportGraph
// Ends what the export started; called once before the program exits.
#define OMBRIX_GRAPH_EXPORT_END ombrixEndGraphExport
using OmbrixEndGraphExportFn = void (*)();
using OmbrixExportGraphFn = bool (*)(const ombrix::Picture& picture, const char* path,
                                     std::string& error);
