// Replacing a file without ever leaving it half-written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ombrix {

// How far a replaced file is pushed before the call returns.
enum class Sync {
    ToDisk,  // the new content is on the disk before it replaces the old (files the user edits)
    None,    // the rename alone keeps readers from ever seeing a half-written file (outputs)
};

// Writes bytes to a temporary file in the target's folder, checks every write, and only then
// renames it over the target; an existing target keeps its permissions, and a target that is a
// symbolic link keeps the link while the file it leads to gets the new content. On any failure
// (full disk, file-size limit, no permission) the target is untouched, the temporary file is
// removed, and OmbrixError says why ("Cannot create file /a/b.kwh: No such file or directory",
// "Cannot write file /a/b.txt: No space left on device").
// A write past a file-size limit ("ulimit -f") then fails like one on a full disk instead of
// ending the program (see keepRunningPastFileSizeLimit).
void writeFileReplacing(const std::string& path, std::string_view bytes, Sync sync);

// What tells files apart whatever their names (device and file number): two paths name the same
// file when their identities are equal.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file path names, or nothing when it names none.
std::optional<FileIdentity> fileIdentity(const std::string& path);

// Makes a write past the file-size limit fail with "File too large" instead of ending the
// program through SIGXFSZ. A handler the program installed itself is left alone.
void keepRunningPastFileSizeLimit();

}  // namespace ombrix
