// What commands need from the user interface: message boxes, the busy pointer, the progress
// window and a chance for the window system to paint.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Errors.h"

namespace ombrix {

class Ui {
  public:
    virtual ~Ui() = default;

    // A modal message box with an OK button.
    virtual void messageBox(std::string_view text, std::string_view title) = 0;

    // Hourglass pointer on (true) or back to the default (false).
    virtual void setBusy(bool busy) = 0;

    // Progress window: caption, show without blocking, paint a fill fraction, unload.
    // Unloading discards the bar, so the next showing starts empty, with its default caption.
    virtual void progressCaption(std::string_view caption) = 0;
    virtual void progressShow() = 0;
    virtual void progressPaint(double fraction) = 0;
    virtual void progressUnload() = 0;

    // Let pending window events run once (the window system paints what was shown).
    virtual void processEvents() = 0;

    // Bar update with (count, total, every): paints only when count is a whole multiple of
    // every; the bar never shrinks.
    void ShowProgress(double count, double total, double every);
};

// The fraction of the bar that ShowProgress(count, total, every) paints, or nothing when the
// call paints nothing (count not a multiple of every, or a total of 0).
std::optional<double> progressFraction(double count, double total, double every);

// Default caption of the progress window.
inline constexpr std::string_view kProgressDefaultCaption = "Opening Data...";

// Title of the application's own message boxes.
inline constexpr std::string_view kAppTitle = "Ombrix";

// Busy pointer for the lifetime of a scope: on at construction, default again on every exit.
class BusyPointer {
  public:
    explicit BusyPointer(Ui& ui) : m_ui(ui) { m_ui.setBusy(true); }
    ~BusyPointer() { m_ui.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

  private:
    Ui& m_ui;
};

// Progress window for the lifetime of a scope: unloaded on every exit.
class ProgressWindow {
  public:
    ProgressWindow(Ui& ui, std::string_view caption) : m_ui(ui) {
        m_ui.progressCaption(caption);
        m_ui.progressShow();
        m_ui.processEvents();
    }
    ~ProgressWindow() { m_ui.progressUnload(); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

  private:
    Ui& m_ui;
};

// Runs body under a failure handler: an exception ends it, and its description in double
// quotes is shown in a message box with the title (stored in *msgText first when given).
// Closing steps are the RAII guards inside body, so they have run when the box appears.
// Returns false after a failure.
template <class F>
bool runGuarded(Ui& ui, std::string_view title, std::string* msgText, F&& body) {
    std::string text;
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        text = quotedDescription(e);
    }
    if (msgText != nullptr) {
        *msgText = text;
    }
    ui.messageBox(text, title);
    return false;
}

}  // namespace ombrix
