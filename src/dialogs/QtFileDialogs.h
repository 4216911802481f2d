// The program's file dialogs behind the FileDialogs interface of the commands.
#pragma once

#include <QWidget>

#include "commands/Services.h"

namespace ombrix {

class QtFileDialogs : public FileDialogs {
  public:
    explicit QtFileDialogs(QWidget* owner) : m_owner(owner) {}
    void showOpen(std::string_view caption, DialogExchange& dlg) override;

  private:
    QWidget* m_owner;
};

}  // namespace ombrix
