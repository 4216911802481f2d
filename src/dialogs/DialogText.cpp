#include "dialogs/DialogText.h"

#include <QDir>
#include <QStringList>

namespace ombrix {
namespace {

bool sameLetter(QChar a, QChar b) {
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

// Wildcard match of one pattern: a "*" remembers where it stood so that a later mismatch can
// let it take one more character.
bool matchOne(const QString& name, const QString& pattern) {
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || sameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

bool matchesPattern(const QString& name, const QString& pattern) {
    if (pattern.trimmed().isEmpty()) {
        return true;
    }
    for (const QString& part : pattern.split(u';')) {
        const QString one = part.trimmed();
        if (one.isEmpty()) {
            continue;
        }
        if (one == QLatin1String(kAllFiles) || matchOne(name, one)) {
            return true;
        }
    }
    return false;
}

TypedText parseTyped(const QString& text) {
    TypedText t;
    t.hasWildcard = text.contains(u'*') || text.contains(u'?');
    const qsizetype last = text.lastIndexOf(u'/');
    if (last < 0) {
        t.tail = text;
        return t;
    }
    t.hasFolder = true;
    t.folder = last == 0 ? QStringLiteral("/") : text.left(last);
    t.tail = text.mid(last + 1);
    return t;
}

QString withTrailingSlash(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString withoutTrailingSlash(const QString& folder) {
    if (folder.size() > 1 && folder.endsWith(u'/')) {
        return folder.left(folder.size() - 1);
    }
    return folder;
}

QString resolveFolder(const QString& typed, const QString& base, const QString& home) {
    QString path = typed;
    if (path == u'~' || path.startsWith(QStringLiteral("~/"))) {
        path = home + path.mid(1);
    } else if (!path.startsWith(u'/')) {
        path = withTrailingSlash(base) + path;
    }
    path = QDir::cleanPath(path);
    // The root's parent is the root.
    while (path.startsWith(QStringLiteral("/..")) && (path.size() == 3 || path[3] == u'/')) {
        path = path.mid(3);
    }
    return path.isEmpty() ? QStringLiteral("/") : path;
}

}  // namespace ombrix
