// The program's file dialogs behind the FileDialogs interface of the commands.
#pragma once

#include <QStringList>
#include <QWidget>

#include "commands/Services.h"

namespace ombrix {

class QtFileDialogs : public FileDialogs {
  public:
    // owner: the main window; ui: where the dialogs report a folder they cannot open.
    // roots: the root list of the dialogs (by default the roots the user can reach).
    QtFileDialogs(QWidget* owner, Ui& ui, QStringList roots = {})
        : m_owner(owner), m_ui(ui), m_roots(std::move(roots)) {}

    // Loads FileOpen, gives it the caption, shows it modally with DlgPattern applied, puts
    // the caption back to "File Open" and unloads it.
    void showOpen(std::string_view caption, DialogExchange& dlg) override;

  private:
    QWidget* m_owner;
    Ui& m_ui;
    QStringList m_roots;
};

}  // namespace ombrix
