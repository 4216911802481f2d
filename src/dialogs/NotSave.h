// The save prompt of the editor: "Loaded file is not saved.  Save it now?" Yes / No / Cancel.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "commands/Session.h"

namespace ombrix {

class NotSave : public QDialog {
    Q_OBJECT
  public:
    // Resets both answers; centred on the screen.
    NotSave(EditorState& answers, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QPushButton* YesBut = nullptr;
    QPushButton* NoBut = nullptr;
    QPushButton* CancelBut = nullptr;

  private:
    EditorState& m_answers;
};

}  // namespace ombrix
