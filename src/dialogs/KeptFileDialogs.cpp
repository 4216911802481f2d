#include "dialogs/KeptFileDialogs.h"

namespace ombrix {

KeptFileDialogs::KeptFileDialogs(DialogExchange& dlg, Ui& ui, QWidget* parent, QWidget* mainWindow,
                                 QStringList roots)
    : m_dlg(dlg), m_ui(ui), m_parent(parent), m_mainWindow(mainWindow), m_roots(std::move(roots)) {}

KeptFileDialogs::~KeptFileDialogs() {
    unload();
}

FileOpen& KeptFileDialogs::open() {
    if (m_open.isNull()) {
        m_open = new FileOpen(m_dlg, m_ui, m_parent, m_roots);
    }
    return *m_open;
}

FileSave& KeptFileDialogs::save() {
    if (m_save.isNull()) {
        m_save = new FileSave(m_dlg, m_ui, m_parent, m_mainWindow, m_roots);
    }
    return *m_save;
}

void KeptFileDialogs::showOpen() {
    open().exec();
}

void KeptFileDialogs::showSave() {
    save().exec();
}

void KeptFileDialogs::unload() {
    delete m_open.data();
    delete m_save.data();
}

}  // namespace ombrix
