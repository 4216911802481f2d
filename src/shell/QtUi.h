// The user interface on Qt: message boxes, the wait cursor and the progress window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/Ui.h"
#include "shell/PerDone.h"

namespace ombrix {

class QtUi : public Ui {
  public:
    explicit QtUi(QWidget* owner) : m_owner(owner) {}
    ~QtUi() override;

    void messageBox(std::string_view text, std::string_view title) override;
    void setBusy(bool busy) override;
    void progressCaption(std::string_view caption) override;
    void progressShow() override;
    void progressPaint(double fraction) override;
    void progressUnload() override;
    void processEvents() override;

    PerDone* progressWindow() const { return m_progress; }

  private:
    PerDone* ensureProgress();

    QWidget* m_owner;
    QPointer<PerDone> m_progress;
    bool m_busy = false;
};

}  // namespace ombrix
