#include "dialogs/FindDB.h"

#include "dialogs/DialogLayout.h"

namespace ombrix {

FindDB::FindDB(EditorState& answers, QString selection, QWidget* parent)
    : QDialog(parent), m_answers(answers), m_selection(std::move(selection)) {
    setObjectName("FindDB");
    setWindowTitle("Find");
    const TwipLayout t(this, "MS Sans Serif");
    t.setInnerSize(this, 6240, 1425);
    Label1 = new QLabel("Find What", this);
    Label1->setObjectName("Label1");
    t.place(Label1, 240, 240, 1212, 252);
    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    t.place(Text1, 1440, 240, 3012, 372);
    FindBut = new QPushButton("Find Next", this);
    FindBut->setObjectName("FindBut");
    FindBut->setDefault(true);
    t.place(FindBut, 4800, 240, 1212, 372);
    CancelBut = new QPushButton("Cancel", this);
    CancelBut->setObjectName("CancelBut");
    CancelBut->setAutoDefault(false);
    t.place(CancelBut, 4800, 840, 1212, 372);
    centreOnScreen(this);

    // Any change of the text enables "Find Next", also when it becomes empty.
    connect(Text1, &QLineEdit::textChanged, this, [this] { FindBut->setEnabled(true); });
    connect(FindBut, &QPushButton::clicked, this, [this] {
        if (Text1->text().isEmpty()) {
            return;
        }
        m_answers.FindText = Text1->text().toStdString();
        accept();
    });
    connect(CancelBut, &QPushButton::clicked, this, [this] {
        m_answers.FindCancelled = true;
        reject();
    });
}

void FindDB::activate() {
    FindBut->setEnabled(false);
    m_answers.FindText.clear();
    m_answers.FindCancelled = false;
    if (!m_selection.isEmpty()) {
        Text1->setText(m_selection);
    }
}

void FindDB::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        activate();
    }
}

long findCrLf(const QString& text, const QString& what, long from) {
    if (what.isEmpty()) {
        return 0;
    }
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const qsizetype start = from < 1 ? 0 : static_cast<qsizetype>(from - 1);
    if (start > crlf.size()) {
        return 0;
    }
    const qsizetype at = crlf.indexOf(what, start, Qt::CaseSensitive);
    return at < 0 ? 0 : static_cast<long>(at) + 1;
}

long crLfOffsetToText(const QString& text, long crLfOffset) {
    long counted = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (counted >= crLfOffset) {
            return static_cast<long>(i);
        }
        counted += text[i] == QLatin1Char('\n') ? 2 : 1;
    }
    return static_cast<long>(text.size());
}

}  // namespace ombrix
