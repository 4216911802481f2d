#include "dialogs/FileSave.h"

#include <QGuiApplication>
#include <QScreen>

#include "dialogs/DialogText.h"
#include "dialogs/Folders.h"

namespace ombrix {
namespace {

const FileDialogBase::Layout kSaveLayout = [] {
    FileDialogBase::Layout l{};
    l.width = 8430;
    l.height = 4065;
    l.pathSpec = {240, 240, 4095, 255};
    l.textBox = {4560, 120, 3735, 380};
    l.dir1 = {120, 720, 4215, 2790};
    l.file1 = {4560, 720, 3735, 2760};
    l.drive1 = {120, 3600, 4215, 315};
    l.ok = {5160, 3600, 1215, 375};
    l.cancel = {6840, 3600, 1215, 375};
    return l;
}();

}  // namespace

FileSave::FileSave(DialogExchange& dlg, Ui& ui, QWidget* parent, QWidget* mainWindow,
                   const QStringList& roots)
    : FileDialogBase(dlg, ui, parent, kSaveLayout, QString::fromLatin1(kFileSaveCaption),
                     roots.isEmpty() ? reachableRoots() : roots) {
    setObjectName("FileSave");
    if (mainWindow == nullptr && parent != nullptr) {
        mainWindow = parent->window();
    }
    if (mainWindow != nullptr) {
        const QRect m = mainWindow->frameGeometry();
        move(m.left() + (m.width() - width()) / 2, m.top() + (m.height() - height()) / 2);
    } else if (QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        const QRect s = screen->geometry();
        move(s.left() + (s.width() - width()) / 2, s.top() + (s.height() - height()) / 2);
    }
    loadStep();
}

void FileSave::ok() {
    guarded([this] {
        if (LastChange == 2) {
            openHighlightedFolder();
        } else if (LastChange == 1) {
            typedText();
        }
    });
    commonEnding();
}

// The text is always taken as a name, after a folder in it has been opened.
void FileSave::typedText() {
    const TypedText t = parseTyped(TextBox->text());
    if (t.hasFolder) {
        setDirPath(t.folder);
    }
    // "*" and "?" are legal in names here, so a pattern left in the box would be written as a
    // file of that name.
    if (t.tail.contains(u'*') || t.tail.contains(u'?')) {
        throw OmbrixError("Invalid file name: " + t.tail.toStdString());
    }
    if (t.hasFolder && !t.folder.startsWith(u'/')) {
        // Written back in full, so that OK on the next showing chooses the same file.
        setText(withTrailingSlash(Dir1->path()) + t.tail);
    }
    acceptChoice(t.tail);
}

}  // namespace ombrix
