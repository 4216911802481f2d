// The main window: menu bar, status area on top (15 %), graph area below (85 %).
#pragma once

#include <QMainWindow>
#include <QMap>
#include <functional>
#include <memory>

#include "commands/Dispatch.h"
#include "commands/Session.h"
#include "platform/Picture.h"
#include "platform/StatusText.h"
#include "shell/AreaWidgets.h"

namespace ombrix {

class QtUi;
class KeptFileDialogs;
class QtHelpEngine;

// Stand-ins a test can put in place of the real message boxes, dialogs and help viewer.
struct OBMainParts {
    Ui* ui = nullptr;
    FileDialogs* dialogs = nullptr;
    HelpEngine* help = nullptr;
    std::string helpFolder;  // empty: the program's own help folder
};

class OBMain : public QMainWindow, private Host {
    Q_OBJECT
  public:
    explicit OBMain(Session& session, OBMainParts parts = {});
    ~OBMain() override;

    Session& session() { return m_session; }
    Services& services() { return *m_services; }
    StatusText& statusText() { return m_status; }
    Picture& graphPicture() { return m_picture; }
    StatusBox* statusBox() const { return m_statusBox; }
    Graphbox* graphBox() const { return m_graphBox; }
    QAction* commandAction(CommandId id) const { return m_actions.value(static_cast<int>(id)); }

    // Runs a menu command, as choosing it in the menu does.
    void run(CommandId id);

    // What File > Exit does; by default it ends the event loop at once.
    void setExitHandler(std::function<void()> handler) { m_exit = std::move(handler); }
    // Replaces what the editor command shows (tests).
    void setEditorHandler(std::function<void()> handler) { m_editor = std::move(handler); }
    // Replaces how the window's image reaches the printer (tests); throws on failure.
    void setPrintHandler(std::function<void()> handler) { m_print = std::move(handler); }

    // Places the window over the central 80 % of its screen.
    void placeOnScreen();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildMenus();
    void layoutAreas();
    void showEditor() override;
    void printMainWindow() override;
    void exitNow() override;

    Session& m_session;
    StatusText m_status;
    Picture m_picture;
    std::unique_ptr<QtUi> m_ownUi;
    std::unique_ptr<QtHelpEngine> m_ownHelp;
    std::unique_ptr<FileDialogs> m_ownDialogs;
    std::unique_ptr<Services> m_services;
    std::unique_ptr<KeptFileDialogs> m_editorDialogs;
    StatusBox* m_statusBox = nullptr;
    Graphbox* m_graphBox = nullptr;
    QMap<int, QAction*> m_actions;
    std::function<void()> m_exit;
    std::function<void()> m_editor;
    std::function<void()> m_print;
    bool m_placedFrame = false;
};

// The folder that holds the program's help file (beside the program, or the installed share
// folder).
std::string programHelpFolder();

}  // namespace ombrix
