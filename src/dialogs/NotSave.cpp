#include "dialogs/NotSave.h"

#include <QGuiApplication>
#include <QScreen>

#include "dialogs/DialogLayout.h"

namespace ombrix {

NotSave::NotSave(EditorState& answers, QWidget* parent) : QDialog(parent), m_answers(answers) {
    setObjectName("NotSave");
    setWindowTitle("Editor");
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_answers.SaveAnswerYes = false;
    m_answers.SaveAnswerCancel = false;

    const TwipLayout t(this, "MS Sans Serif");
    t.setInnerSize(this, 5040, 1680);
    Label1 = new QLabel("Loaded file is not saved.  Save it now?", this);
    Label1->setObjectName("Label1");
    t.place(Label1, 360, 240, 4452, 372);
    YesBut = new QPushButton("Yes", this);
    YesBut->setObjectName("YesBut");
    YesBut->setDefault(true);
    t.place(YesBut, 240, 960, 1212, 492);
    NoBut = new QPushButton("No", this);
    NoBut->setObjectName("NoBut");
    NoBut->setAutoDefault(false);
    t.place(NoBut, 1920, 960, 1212, 492);
    CancelBut = new QPushButton("Cancel", this);
    CancelBut->setObjectName("CancelBut");
    CancelBut->setAutoDefault(false);
    t.place(CancelBut, 3600, 960, 1212, 492);
    centreOnScreen(this);

    connect(YesBut, &QPushButton::clicked, this, [this] {
        m_answers.SaveAnswerYes = true;
        accept();
    });
    connect(NoBut, &QPushButton::clicked, this, [this] { accept(); });
    connect(CancelBut, &QPushButton::clicked, this, [this] {
        m_answers.SaveAnswerCancel = true;
        reject();
    });
}

}  // namespace ombrix
