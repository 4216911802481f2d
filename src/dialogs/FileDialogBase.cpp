#include "dialogs/FileDialogBase.h"

#include <QDir>
#include <QShowEvent>

#include "dialogs/DialogText.h"
#include "dialogs/Folders.h"
#include "platform/Errors.h"
#include "platform/Twips.h"
#include "platform/qt/PictureRenderer.h"

namespace ombrix {
namespace {

QString homeFolder() {
    return QDir::cleanPath(QDir::homePath());
}

}  // namespace

FileDialogBase::FileDialogBase(DialogExchange& dlg, Ui& ui, QWidget* parent, const Layout& layout,
                               const QString& caption, const QStringList& roots)
    : QDialog(parent), m_dlg(dlg), m_ui(ui) {
    setWindowTitle(caption);
    setModal(true);
    setFont(systemFont("MS Sans Serif", 8));
    const double dpi = logicalDpiX();
    auto place = [dpi](QWidget* w, const Box& b) {
        w->setGeometry(twipsToPixels(b.left, dpi), twipsToPixels(b.top, dpi),
                       twipsToPixels(b.width, dpi), twipsToPixels(b.height, dpi));
    };
    setFixedSize(twipsToPixels(layout.width, dpi), twipsToPixels(layout.height, dpi));

    PathSpec = new QLabel(this);
    PathSpec->setObjectName("PathSpec");
    TextBox = new QLineEdit(this);
    TextBox->setObjectName("TextBox");
    Dir1 = new FolderList(this);
    Dir1->setObjectName("Dir1");
    File1 = new FileList(this);
    File1->setObjectName("File1");
    Drive1 = new DriveList(this);
    Drive1->setObjectName("Drive1");
    DlgBut[0] = new QPushButton("OK", this);
    DlgBut[1] = new QPushButton("Cancel", this);
    for (int i = 0; i < 2; ++i) {
        DlgBut[i]->setObjectName(QString("DlgBut%1").arg(i));
        DlgBut[i]->setProperty("index", i);
        connect(DlgBut[i], &QPushButton::clicked, this, [this, i] { pressButton(i); });
    }
    DlgBut[0]->setDefault(true);

    place(PathSpec, layout.pathSpec);
    place(TextBox, layout.textBox);
    place(Dir1, layout.dir1);
    place(File1, layout.file1);
    place(Drive1, layout.drive1);
    place(DlgBut[0], layout.ok);
    place(DlgBut[1], layout.cancel);
    setTabOrder(TextBox, File1);
    setTabOrder(File1, Dir1);
    setTabOrder(Dir1, Drive1);
    setTabOrder(Drive1, DlgBut[0]);
    setTabOrder(DlgBut[0], DlgBut[1]);

    connect(TextBox, &QLineEdit::textChanged, this, [this] { LastChange = 1; });
    connect(Dir1, &QTreeWidget::itemClicked, this, [this] { LastChange = 2; });
    connect(Dir1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr) {
            LastChange = 2;
        }
    });
    connect(Dir1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        const QString folder = item->data(0, Qt::UserRole).toString();
        guarded([&] { setDirPath(folder); });
    });
    connect(File1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { setText(item->text()); });
    connect(File1, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item != nullptr) {
            setText(item->text());
        }
    });
    connect(File1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        setText(item->text());
        acceptChoice(TextBox->text());
    });
    connect(Drive1, &QComboBox::activated, this, &FileDialogBase::onDriveActivated);

    // The lists start in the program's current folder (or home, or the root when that cannot
    // be read) until the load step moves them.
    Dir1->setRoots(roots);
    Drive1->setRoots(roots);
    for (const QString& start : {QDir::currentPath(), homeFolder(), QStringLiteral("/")}) {
        try {
            setDirPath(start);
            break;
        } catch (const std::exception&) {
            // try the next one
        }
    }
}

FileDialogBase::~FileDialogBase() = default;

void FileDialogBase::loadStep() {
    if (!m_dlg.DlgPath.empty()) {
        // The folder of the file chosen last; when it has gone, the nearest folder above it.
        QString folder = resolveFolder(withoutTrailingSlash(QString::fromStdString(m_dlg.DlgPath)),
                                       Dir1->path(), homeFolder());
        while (folder != File1->path()) {
            try {
                setFilePath(folder);
                break;
            } catch (const std::exception&) {
                if (folder == u'/') {
                    break;
                }
                folder = QDir::cleanPath(folder + QStringLiteral("/.."));
            }
        }
    }
    PathSpec->setText(Dir1->path());
    setText(File1->pattern());
    TextBox->selectAll();
}

void FileDialogBase::pressButton(int index) {
    if (index == 0) {
        ok();
    } else {
        guarded([this] { cancel(); });
    }
}

void FileDialogBase::reject() {
    pressButton(1);
}

void FileDialogBase::cancel() {
    m_dlg.DlgPath.clear();
    m_dlg.DlgFile.clear();
    done(QDialog::Rejected);
    cancelFlag() = "on";
    afterCancel();
}

void FileDialogBase::acceptChoice(const QString& file) {
    m_dlg.DlgPath = withTrailingSlash(Dir1->path()).toStdString();
    m_dlg.DlgFile = file.toStdString();
    File1->setPattern(QString::fromLatin1(kAllFiles));
    cancelFlag() = "off";
    done(QDialog::Accepted);
}

void FileDialogBase::setText(const QString& text) {
    TextBox->setText(text);
    LastChange = 1;
}

void FileDialogBase::setDirPath(const QString& folder) {
    if (Dir1->setPath(resolveFolder(folder, Dir1->path(), homeFolder()))) {
        onDirChanged();
    }
}

void FileDialogBase::openHighlightedFolder() {
    setDirPath(Dir1->highlighted());
}

void FileDialogBase::onDirChanged() {
    PathSpec->setText(Dir1->path());
    setFilePath(Dir1->path());
}

void FileDialogBase::setFilePath(const QString& folder) {
    if (File1->setPath(folder)) {
        onFilePathChanged();
    }
}

void FileDialogBase::onFilePathChanged() {
    setDirPath(File1->path());
    Drive1->showDriveOf(File1->path());
}

void FileDialogBase::onDriveActivated(int index) {
    chooseDrive(Drive1->itemText(index));
}

void FileDialogBase::chooseDrive(const QString& root) {
    try {
        setDirPath(root);
        Drive1->showDriveOf(Dir1->path());
    } catch (const std::exception& e) {
        m_ui.messageBox(describeFailure(e), kAppTitle);
        Drive1->showDriveOf(Dir1->path());
    }
}

void FileDialogBase::commonEnding() {
    TextBox->setSelection(0, static_cast<int>(TextBox->text().size()));
    if (isVisible()) {
        TextBox->setFocus();
    }
}

bool FileDialogBase::guarded(const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const PathNotFound&) {
        m_ui.messageBox(kPathNotFoundText, kAppTitle);
    } catch (const std::exception& e) {
        m_ui.messageBox(quotedDescription(e), "Error");
    }
    return false;
}

void FileDialogBase::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;  // restored from an icon: nothing was hidden
    }
    if (!m_shownBefore) {
        m_shownBefore = true;
        return;
    }
    // Shown again after a hide: the folder may have changed meanwhile.
    try {
        Dir1->refresh();
        File1->refresh();
    } catch (const std::exception&) {
        // The lists keep what they showed; the next folder change reports the failure.
    }
}

}  // namespace ombrix
