// What the file dialogs read of the file system: a folder's subfolders and files, and the
// roots the user can reach (the root folder, the home folder, mounted volumes).
#pragma once

#include <QString>
#include <QStringList>

#include "platform/Errors.h"

namespace ombrix {

// A folder that does not exist (or is not a folder). Other failures are plain OmbrixErrors.
class PathNotFound : public OmbrixError {
  public:
    using OmbrixError::OmbrixError;
};

struct FolderContents {
    QStringList folders;  // names of the subfolders, sorted
    QStringList files;    // names of the files, sorted
};

// Reads a folder (an absolute path). Names starting with "." are hidden and left out; names
// are sorted without regard to letter case. Throws PathNotFound when the folder does not
// exist, OmbrixError when it cannot be read.
FolderContents readFolder(const QString& folder);

// "/", the home folder and the mounted volumes under /media, /mnt and /run/media, in that
// order, without repeats.
QStringList reachableRoots();

// The root among roots that holds folder: the longest one that is the folder itself or one
// of its parents; "/" when none is.
QString rootOf(const QString& folder, const QStringList& roots);

}  // namespace ombrix
