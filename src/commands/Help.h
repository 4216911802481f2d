// Help access: set-up at start, a topic by context number, the keyword search, closing.
#pragma once

#include <string_view>

#include "commands/Services.h"
#include "commands/Session.h"

namespace ombrix {

// Help context numbers.
inline constexpr long kContextHowToUse = 10;

// The help file's name in the program's help folder.
inline constexpr std::string_view kHelpFileName = "ombrix.qhc";

// Remembers the main window and sets the help file's path from the program's help folder.
void InitHelp(Session& s, long mainWindow, std::string_view helpFolder);
// Shows the topic with the context number.
void ShowHelpContext(Session& s, HelpEngine& help, long contextId);
// Opens the keyword search with nothing typed.
void ShowHelpSearch(Session& s, HelpEngine& help);
// Closes the viewer opened for the main window.
void QuitHelp(Session& s, HelpEngine& help);

}  // namespace ombrix
