// ombrix-batch: runs main-window commands in order, headless, through the same dispatch as
// the window's menus.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/Picture.h"

namespace ombrix {

// Writes the graph area's picture to a .svg or .png file; throws on failure.
using GraphExporter = std::function<void(const Picture&, const std::string& path)>;

// Runs the words of args (without the program name). Status lines go to out after each word
// that touched the status area; message boxes go to err as "TITLE: TEXT". Returns 0, 1 when a
// message box was shown, 2 for a usage error. "portfolio" as the first word runs a portfolio
// instead (Portfolio.h), with its progress line on err when errIsTerminal.
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const GraphExporter& exporter, bool errIsTerminal = false);

// The usage text.
std::string batchUsage();

}  // namespace ombrix
