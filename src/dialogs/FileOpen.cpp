#include "dialogs/FileOpen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include "dialogs/DialogText.h"
#include "dialogs/Folders.h"

namespace ombrix {
namespace {

const FileDialogBase::Layout kOpenLayout = [] {
    FileDialogBase::Layout l{};
    l.width = 8370;
    l.height = 3885;
    l.pathSpec = {120, 120, 3855, 255};
    l.textBox = {4320, 120, 3855, 380};
    l.dir1 = {120, 600, 3975, 2565};
    l.file1 = {4320, 600, 3855, 2565};
    l.drive1 = {240, 3360, 3855, 315};
    l.ok = {4800, 3360, 1215, 375};
    l.cancel = {6480, 3360, 1215, 375};
    return l;
}();

}  // namespace

FileOpen::FileOpen(DialogExchange& dlg, Ui& ui, QWidget* parent, const QStringList& roots)
    : FileDialogBase(dlg, ui, parent, kOpenLayout, QString::fromLatin1(kFileOpenCaption),
                     roots.isEmpty() ? reachableRoots() : roots) {
    setObjectName("FileOpen");
    QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect s = screen->geometry();
        move(s.left() + (s.width() - width()) / 2, s.top() + (s.height() - height()) / 2);
    }
    loadStep();
}

void FileOpen::showEvent(QShowEvent* event) {
    FileDialogBase::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    // Every showing lists the caller's pattern and puts it into the name box.
    File1->setPattern(QString::fromStdString(m_dlg.DlgPattern));
    setText(File1->pattern());
    TextBox->selectAll();
}

void FileOpen::ok() {
    const bool fine = guarded([this] {
        if (LastChange == 2) {
            openHighlightedFolder();
        } else if (LastChange == 1) {
            typedText();
        }
    });
    commonEnding();
    if (fine) {
        m_dlg.OpenCancelled = "off";
    }
    m_ui.setBusy(false);
}

void FileOpen::afterCancel() {
    m_ui.setBusy(false);
}

// A listed name (compared exactly) is accepted; otherwise a folder in the text is opened and a
// pattern in it is applied, and a plain name gives way to the current pattern.
void FileOpen::typedText() {
    const QString text = TextBox->text();
    if (File1->selectName(text)) {
        acceptChoice(text);
        return;
    }
    const TypedText t = parseTyped(text);
    if (t.hasFolder) {
        setDirPath(t.folder);
    }
    if (t.hasWildcard) {
        File1->setPattern(t.tail);
        if (t.hasFolder && !t.folder.startsWith(u'/')) {
            // Written back in full, so that a second OK stays in this folder.
            setText(withTrailingSlash(Dir1->path()) + t.tail);
        }
    } else {
        setText(File1->pattern());
    }
}

}  // namespace ombrix
