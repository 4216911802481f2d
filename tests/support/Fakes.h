// Recording stand-ins for the user interface, the dialogs, help and the main window, so every
// command can run in a test and be checked by what it showed and drew.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/Services.h"
#include "commands/Session.h"
#include "platform/Picture.h"
#include "platform/StatusText.h"
#include "platform/Ui.h"

namespace ombrix::test {

struct Box {
    std::string title;
    std::string text;
    bool operator==(const Box&) const = default;
};

class FakeUi : public Ui {
  public:
    void messageBox(std::string_view text, std::string_view title) override;
    void setBusy(bool busy) override;
    void progressCaption(std::string_view caption) override;
    void progressShow() override;
    void progressPaint(double fraction) override;
    void progressUnload() override;
    void processEvents() override { ++eventsProcessed; }

    std::vector<Box> boxes;
    bool busy = false;
    int busyOn = 0;
    std::vector<std::string> captions;  // every caption the progress window showed
    std::string caption = std::string(kProgressDefaultCaption);
    bool progressVisible = false;
    int progressShows = 0;
    int progressUnloads = 0;
    double progressFilled = 0;  // the largest fraction painted since the window was loaded
    std::vector<double> paints;
    int eventsProcessed = 0;
};

// The open dialog answers with the next scripted choice: a path, or an empty one for Cancel.
class FakeDialogs : public FileDialogs {
  public:
    void showOpen(std::string_view caption, DialogExchange& dlg) override;
    void choose(const std::filesystem::path& path) { choices.push_back(path.string()); }
    void cancel() { choices.push_back(""); }

    std::deque<std::string> choices;
    std::vector<std::string> captions;
    std::vector<std::string> patterns;
};

struct HelpCall {
    long window;
    std::string file;
    HelpCommand command;
    long context;
    std::string keyword;
};

class FakeHelp : public HelpEngine {
  public:
    void winHelp(long window, std::string_view file, HelpCommand command, long context,
                 std::string_view keyword) override {
        calls.push_back({window, std::string(file), command, context, std::string(keyword)});
    }
    std::vector<HelpCall> calls;
};

class FakeHost : public Host {
  public:
    void showEditor() override { ++editorShown; }
    void printMainWindow() override;
    void exitNow() override { ++exits; }

    int editorShown = 0;
    int prints = 0;
    std::string printFailure;  // when set, printing throws with this description
    int exits = 0;
};

// A session with every service faked.
struct Harness {
    Session session;
    FakeUi ui;
    Picture graph;
    StatusText status;
    FakeDialogs dialogs;
    FakeHelp help;
    FakeHost host;
    Services services{ui, graph, status, dialogs, help, host};

    // The drawing calls of the graph area as text (see describe()).
    std::vector<std::string> drawn() const;
};

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    // Writes a file below the folder and returns its path.
    std::filesystem::path write(const std::string& name, const std::string& content) const;

  private:
    std::filesystem::path m_path;
};

std::string readFile(const std::filesystem::path& path);

// The source tree, for example files.
std::filesystem::path sourceDir();

}  // namespace ombrix::test
