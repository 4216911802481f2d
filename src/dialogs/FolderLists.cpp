#include "dialogs/FolderLists.h"

#include <QSignalBlocker>
#include <QStyle>

#include "dialogs/DialogText.h"
#include "dialogs/Folders.h"

namespace ombrix {
namespace {

QString childPath(const QString& folder, const QString& name) {
    return withTrailingSlash(folder) + name;
}

// The folders from root down to folder, both included.
QStringList chainFrom(const QString& root, const QString& folder) {
    QStringList chain{root};
    if (folder == root) {
        return chain;
    }
    const QString rest = folder.mid(root == u'/' ? 1 : root.size() + 1);
    QString current = root;
    for (const QString& part : rest.split(u'/', Qt::SkipEmptyParts)) {
        current = childPath(current, part);
        chain.push_back(current);
    }
    return chain;
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIndentation(12);
}

void FolderList::setRoots(const QStringList& roots) {
    m_roots = roots;
}

bool FolderList::setPath(const QString& folder) {
    if (folder == m_path) {
        return false;
    }
    rebuild(folder, readFolder(folder).folders);
    return true;
}

void FolderList::refresh() {
    if (!m_path.isEmpty()) {
        rebuild(m_path, readFolder(m_path).folders);
    }
}

void FolderList::rebuild(const QString& folder, const QStringList& subfolders) {
    const QSignalBlocker block(this);
    clear();
    m_path = folder;
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* parent = nullptr;
    for (const QString& step : chainFrom(rootOf(folder, m_roots), folder)) {
        const QString text = parent == nullptr ? step : step.section(u'/', -1);
        auto* item = parent == nullptr ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parent);
        item->setText(0, text);
        item->setIcon(0, open);
        item->setData(0, Qt::UserRole, step);
        item->setToolTip(0, step);
        parent = item;
    }
    for (const QString& name : subfolders) {
        auto* item = new QTreeWidgetItem(parent);
        item->setText(0, name);
        item->setIcon(0, closed);
        item->setData(0, Qt::UserRole, childPath(folder, name));
    }
    expandAll();
    setCurrentItem(parent);
    scrollToItem(parent);
}

QString FolderList::highlighted() const {
    const QTreeWidgetItem* item = currentItem();
    return item == nullptr ? m_path : item->data(0, Qt::UserRole).toString();
}

bool FolderList::highlight(const QString& folder) {
    QTreeWidgetItem* item = itemOf(folder);
    if (item == nullptr) {
        return false;
    }
    setCurrentItem(item);
    return true;
}

QStringList FolderList::entries() const {
    QStringList out;
    for (QTreeWidgetItemIterator it(const_cast<FolderList*>(this)); *it != nullptr; ++it) {
        out.push_back((*it)->data(0, Qt::UserRole).toString());
    }
    return out;
}

QTreeWidgetItem* FolderList::itemOf(const QString& folder) const {
    for (QTreeWidgetItemIterator it(const_cast<FolderList*>(this)); *it != nullptr; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() == folder) {
            return *it;
        }
    }
    return nullptr;
}

FileList::FileList(QWidget* parent)
    : QListWidget(parent), m_pattern(QString::fromLatin1(kAllFiles)) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

bool FileList::setPath(const QString& folder) {
    if (folder == m_path) {
        return false;
    }
    m_all = readFolder(folder).files;
    m_path = folder;
    fill();
    return true;
}

void FileList::setPattern(const QString& pattern) {
    m_pattern = pattern;
    fill();
}

void FileList::refresh() {
    if (!m_path.isEmpty()) {
        m_all = readFolder(m_path).files;
        fill();
    }
}

void FileList::fill() {
    const QSignalBlocker block(this);
    clear();
    for (const QString& name : m_all) {
        if (matchesPattern(name, m_pattern)) {
            addItem(name);
        }
    }
}

QStringList FileList::names() const {
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i) {
        out.push_back(item(i)->text());
    }
    return out;
}

bool FileList::selectName(const QString& name) {
    for (int i = 0; i < count(); ++i) {
        if (item(i)->text() == name) {
            setCurrentRow(i);
            return true;
        }
    }
    return false;
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {}

void DriveList::setRoots(const QStringList& roots) {
    const QSignalBlocker block(this);
    clear();
    addItems(roots);
}

QStringList DriveList::roots() const {
    QStringList out;
    for (int i = 0; i < count(); ++i) {
        out.push_back(itemText(i));
    }
    return out;
}

QString DriveList::drive() const {
    return currentText();
}

void DriveList::showDriveOf(const QString& folder) {
    const QString root = rootOf(folder, roots());
    int index = findText(root, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        addItem(root);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

}  // namespace ombrix
