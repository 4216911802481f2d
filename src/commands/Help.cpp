#include "commands/Help.h"

#include "platform/HelpPath.h"

namespace ombrix {

void InitHelp(Session& s, long mainWindow, std::string_view helpFolder) {
    s.help.MainWnd = mainWindow;
    s.help.HelpFilePath = helpFilePath(helpFolder, kHelpFileName);
}

void ShowHelpContext(Session& s, HelpEngine& help, long contextId) {
    help.winHelp(s.help.MainWnd, s.help.HelpFilePath, HelpCommand::ShowContext, contextId, {});
}

void ShowHelpSearch(Session& s, HelpEngine& help) {
    help.winHelp(s.help.MainWnd, s.help.HelpFilePath, HelpCommand::PartialKeySearch, 0, "");
}

void QuitHelp(Session& s, HelpEngine& help) {
    help.winHelp(s.help.MainWnd, s.help.HelpFilePath, HelpCommand::Quit, 0, {});
}

}  // namespace ombrix
