#include "dialogs/Folders.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace ombrix {
namespace {

namespace fs = std::filesystem;

fs::path toFsPath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

QString fromFsName(const fs::path& name) {
    return QFile::decodeName(QByteArray::fromStdString(name.native()));
}

void sortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

bool isNotFound(const std::error_code& ec) {
    return ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory;
}

bool isUnder(const QString& folder, const QString& root) {
    if (root == u'/') {
        return folder.startsWith(u'/');
    }
    return folder == root || folder.startsWith(root + u'/');
}

}  // namespace

FolderContents readFolder(const QString& folder) {
    const fs::path dir = toFsPath(folder);
    std::error_code ec;
    const fs::file_status st = fs::status(dir, ec);
    if (isNotFound(ec) || (!ec && !fs::is_directory(st))) {
        throw PathNotFound("Path not found: " + folder.toStdString());
    }
    if (ec) {
        throw OmbrixError("Cannot open folder " + folder.toStdString() + ": " + ec.message());
    }
    fs::directory_iterator it(dir, ec);
    if (ec) {
        throw OmbrixError("Cannot open folder " + folder.toStdString() + ": " + ec.message());
    }
    FolderContents contents;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) {
            throw OmbrixError("Cannot read folder " + folder.toStdString() + ": " + ec.message());
        }
        const QString name = fromFsName(it->path().filename());
        if (name.startsWith(u'.')) {
            continue;
        }
        std::error_code kindEc;
        if (it->is_directory(kindEc)) {
            contents.folders.push_back(name);
        } else if (!kindEc && it->exists(kindEc)) {
            contents.files.push_back(name);
        }
        // An entry that vanished or whose link leads nowhere is not listed.
    }
    if (ec) {
        throw OmbrixError("Cannot read folder " + folder.toStdString() + ": " + ec.message());
    }
    sortNames(contents.folders);
    sortNames(contents.files);
    return contents;
}

QStringList reachableRoots() {
    QStringList roots{QStringLiteral("/")};
    const QString home = QDir::cleanPath(QDir::homePath());
    if (!home.isEmpty() && home != u'/') {
        roots.push_back(home);
    }
    QStringList volumes;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        const QString root = QDir::cleanPath(v.rootPath());
        if (!v.isValid() || !v.isReady()) {
            continue;
        }
        if (root.startsWith(QStringLiteral("/media/")) ||
            root.startsWith(QStringLiteral("/mnt/")) ||
            root.startsWith(QStringLiteral("/run/media/"))) {
            volumes.push_back(root);
        }
    }
    volumes.sort();
    for (const QString& v : volumes) {
        if (!roots.contains(v)) {
            roots.push_back(v);
        }
    }
    return roots;
}

QString rootOf(const QString& folder, const QStringList& roots) {
    QString best = QStringLiteral("/");
    for (const QString& root : roots) {
        if (isUnder(folder, root) && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

}  // namespace ombrix
