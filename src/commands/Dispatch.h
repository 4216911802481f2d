// Command dispatch of the main window, shared by the window's menus and ombrix-batch.
#pragma once

#include "commands/Menu.h"
#include "commands/Services.h"
#include "commands/Session.h"

namespace ombrix {

// Runs one menu command: its guard, the shared state it sets, the routine it calls.
void runCommand(Session& s, Services& sv, CommandId id);

// A mouse-down in the graph area at (x, y) in frame units.
void graphMouseDown(Session& s, Services& sv, int button, int shift, double x, double y);

// Guard messages of the View commands (title "Ombrix").
inline constexpr std::string_view kNeedBoth =
    "Must open both energy and weather files to view this graph.";
inline constexpr std::string_view kNeedEnergy = "Must open energy file to view this graph.";
inline constexpr std::string_view kNeedWeather = "Must open weather file to view this graph.";

}  // namespace ombrix
