// Text rules of the file dialogs: file-name patterns and what OK makes of a typed text.
#pragma once

#include <QString>

namespace ombrix {

// The pattern every file matches; the file lists start with it.
inline constexpr const char* kAllFiles = "*.*";

// True when name matches pattern. "*" stands for any run of characters, "?" for any one
// character, and other characters match regardless of letter case (data files copied from
// other systems often carry upper-case extensions). Several patterns may be given separated
// by ";". "*.*" matches every name, also one without an extension; an empty pattern too.
bool matchesPattern(const QString& name, const QString& pattern);

// A typed text taken apart at its last "/".
struct TypedText {
    bool hasFolder = false;    // the text holds a "/"
    QString folder;            // text before the last "/"; "/" when that "/" comes first
    bool hasWildcard = false;  // the text holds a "*" or a "?"
    QString tail;              // text after the last "/"; the whole text when it holds none
};

TypedText parseTyped(const QString& text);

// The folder with one "/" at its end (added when missing).
QString withTrailingSlash(const QString& folder);

// The folder without one trailing "/"; the root stays "/".
QString withoutTrailingSlash(const QString& folder);

// A typed folder as an absolute, clean path: "~" and "~/..." start at home, a relative
// folder starts at base.
QString resolveFolder(const QString& typed, const QString& base, const QString& home);

}  // namespace ombrix
