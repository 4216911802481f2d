#include "dialogs/QtFileDialogs.h"

#include "dialogs/FileOpen.h"

namespace ombrix {

void QtFileDialogs::showOpen(std::string_view caption, DialogExchange& dlg) {
    FileOpen window(dlg, m_ui, m_owner, m_roots);
    window.setWindowTitle(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
    window.exec();
    window.setWindowTitle(QString::fromLatin1(kFileOpenCaption));
}

}  // namespace ombrix
