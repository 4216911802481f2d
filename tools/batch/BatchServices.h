// The stand-ins ombrix-batch gives the commands for the window's dialogs, help and main window,
// shared by word runs and portfolio runs so both open files and name outputs alike.
#pragma once

#include <string>
#include <string_view>

#include "commands/Services.h"
#include "platform/Errors.h"

namespace ombrix {

// The open dialog answers with the file named on the command line or in the manifest: the part
// up to the last "/" is the folder ("./" when there is none), the rest the file.
class ScriptedDialogs : public FileDialogs {
  public:
    void choose(const std::string& path) { m_next = path; }
    void showOpen(std::string_view, DialogExchange& dlg) override {
        const auto slash = m_next.rfind('/');
        if (slash == std::string::npos) {
            dlg.DlgPath = "./";
            dlg.DlgFile = m_next;
        } else {
            dlg.DlgPath = m_next.substr(0, slash + 1);
            dlg.DlgFile = m_next.substr(slash + 1);
        }
        dlg.OpenCancelled = "off";
    }
    // The path an import reads after the dialog answered with path (folder and file joined).
    static std::string chosenPath(const std::string& path) {
        return path.find('/') == std::string::npos ? "./" + path : path;
    }

  private:
    std::string m_next;
};

class NoHelp : public HelpEngine {
  public:
    void winHelp(long, std::string_view, HelpCommand, long, std::string_view) override {}
};

class BatchHost : public Host {
  public:
    void showEditor() override {}
    void printMainWindow() override {
        throw OmbrixError("Printing is not available in ombrix-batch");
    }
    void exitNow() override {}
};

}  // namespace ombrix
