// What commands use of the world outside the core: the user interface, the graph and status
// areas, the file dialogs, the help viewer and the main window itself.
#pragma once

#include <string_view>

#include "data/DataState.h"
#include "data/PreparedWeather.h"
#include "platform/Canvas.h"
#include "platform/StatusText.h"
#include "platform/Ui.h"

namespace ombrix {

// The program's own file dialogs, shown modally. They hand their result back through the
// dialog exchange: DlgPath (ending with "/") and DlgFile, both empty after Cancel.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // The open dialog with a caption of the caller's and DlgPattern applied; it is unloaded
    // after it returns, and its caption is back to "File Open" for the next caller.
    virtual void showOpen(std::string_view caption, DialogExchange& dlg) = 0;
};

// The help viewer, addressed as the help engine is: a help file, a command and its data.
enum class HelpCommand { ShowContext = 1, Quit = 2, PartialKeySearch = 0x105 };
class HelpEngine {
  public:
    virtual ~HelpEngine() = default;
    virtual void winHelp(long window, std::string_view helpFile, HelpCommand command, long context,
                         std::string_view keyword) = 0;
};

// What only the main window can do.
class Host {
  public:
    virtual ~Host() = default;
    // Shows the text editor modally.
    virtual void showEditor() = 0;
    // Prints the image of the main window on the default printer; throws on failure.
    virtual void printMainWindow() = 0;
    // Ends the program at once, without any closing step.
    virtual void exitNow() = 0;
};

struct Services {
    Ui& ui;
    Canvas& graph;       // the graph area
    StatusText& status;  // the status area
    FileDialogs& dialogs;
    HelpEngine& help;
    Host& host;
    // A weather file read and dated beforehand: Open Weather takes it from memory when it is the
    // file chosen (portfolio runs share one among many sessions). Nothing: every import reads.
    const PreparedWeather* weather = nullptr;
};

}  // namespace ombrix
