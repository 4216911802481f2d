#include "dialogs/QtFileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace ombrix {

// Interim: the platform dialog until the program's own FileOpen lands.
void QtFileDialogs::showOpen(std::string_view caption, DialogExchange& dlg) {
    const QString path = QFileDialog::getOpenFileName(
        m_owner, QString::fromUtf8(caption.data(), static_cast<int>(caption.size())), {},
        QString::fromStdString(dlg.DlgPattern) + ";;*");
    if (path.isEmpty()) {
        dlg.DlgPath.clear();
        dlg.DlgFile.clear();
        dlg.OpenCancelled = "on";
        return;
    }
    const QFileInfo info(path);
    dlg.DlgPath = info.absolutePath().toStdString();
    if (dlg.DlgPath.empty() || dlg.DlgPath.back() != '/') {
        dlg.DlgPath += '/';
    }
    dlg.DlgFile = info.fileName().toStdString();
    dlg.OpenCancelled = "off";
}

}  // namespace ombrix
