// The editor's find dialog ("Find What", Find Next / Cancel) and the search it serves.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "commands/Session.h"

namespace ombrix {

class FindDB : public QDialog {
    Q_OBJECT
  public:
    // `selection` is the editor's selected text, used to pre-fill the box when not empty.
    FindDB(EditorState& answers, QString selection, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* FindBut = nullptr;
    QPushButton* CancelBut = nullptr;

    // The activation step: "Find Next" disabled, FindText emptied, FindCancelled false, the box
    // pre-filled with the editor's selection. Runs when the dialog is shown.
    void activate();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    EditorState& m_answers;
    QString m_selection;
    bool m_activated = false;
};

// The 1-based position of the first occurrence of `what` in `text` at or after the 1-based
// position `from`, with every line break counted as the two characters CR LF and an exact,
// case-sensitive comparison; 0 when there is none. `text` holds its line breaks as "\n".
long findCrLf(const QString& text, const QString& what, long from);

// Converts a 0-based offset that counts line breaks as two characters into the offset in a
// text that holds them as one ("\n").
long crLfOffsetToText(const QString& text, long crLfOffset);

}  // namespace ombrix
