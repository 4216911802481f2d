// One open and one save dialog kept loaded between showings, as the editor uses them: the
// first showing loads a dialog, later ones find its lists, text and last change as they were.
#pragma once

#include <QPointer>
#include <QStringList>

#include "data/DataState.h"
#include "dialogs/FileOpen.h"
#include "dialogs/FileSave.h"
#include "platform/Ui.h"

namespace ombrix {

class KeptFileDialogs {
  public:
    // parent: the window the dialogs belong to; mainWindow: the window FileSave centres on.
    KeptFileDialogs(DialogExchange& dlg, Ui& ui, QWidget* parent, QWidget* mainWindow = nullptr,
                    QStringList roots = {});
    ~KeptFileDialogs();
    KeptFileDialogs(const KeptFileDialogs&) = delete;
    KeptFileDialogs& operator=(const KeptFileDialogs&) = delete;

    // Shows FileOpen modally with DlgPattern applied; the answer is in DlgPath, DlgFile and
    // OpenCancelled when it returns.
    void showOpen();
    // Shows FileSave modally; the answer is in DlgPath, DlgFile and SaveCancelled.
    void showSave();

    // The dialogs, loaded on first use.
    FileOpen& open();
    FileSave& save();
    bool openLoaded() const { return !m_open.isNull(); }
    bool saveLoaded() const { return !m_save.isNull(); }

    // Unloads both; the next showing loads them anew.
    void unload();

  private:
    DialogExchange& m_dlg;
    Ui& m_ui;
    QPointer<QWidget> m_parent;
    QPointer<QWidget> m_mainWindow;
    QStringList m_roots;
    QPointer<FileOpen> m_open;
    QPointer<FileSave> m_save;
};

}  // namespace ombrix
