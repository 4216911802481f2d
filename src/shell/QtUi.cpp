#include "shell/QtUi.h"

#include <QApplication>
#include <QMessageBox>

namespace ombrix {
namespace {
QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}
}  // namespace

QtUi::~QtUi() {
    setBusy(false);
    progressUnload();
}

void QtUi::messageBox(std::string_view text, std::string_view title) {
    const bool busy = m_busy;
    setBusy(false);  // the box gets the normal pointer
    QMessageBox box(QMessageBox::NoIcon, qs(title), qs(text), QMessageBox::Ok, m_owner);
    box.exec();
    setBusy(busy);
}

void QtUi::setBusy(bool busy) {
    if (busy == m_busy) {
        return;
    }
    m_busy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

PerDone* QtUi::ensureProgress() {
    if (m_progress == nullptr) {
        m_progress = new PerDone(m_owner);
    }
    return m_progress;
}

void QtUi::progressCaption(std::string_view caption) {
    ensureProgress()->setWindowTitle(qs(caption));
}

void QtUi::progressShow() {
    PerDone* w = ensureProgress();
    w->show();
    w->centreOnOwner();
}

void QtUi::progressPaint(double fraction) {
    ensureProgress()->Picture1->paintFraction(fraction);
}

void QtUi::progressUnload() {
    if (m_progress != nullptr) {
        delete m_progress;
        m_progress = nullptr;
    }
}

void QtUi::processEvents() {
    QCoreApplication::processEvents();
}

}  // namespace ombrix
