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
// renames it over the target; an existing target keeps its permissions. On any failure (full
// disk, file-size limit, no permission) the target is untouched, the temporary file is
// removed, and OmbrixError says why ("Cannot create file /a/b.kwh: No such file or directory",
// "Cannot write file /a/b.txt: No space left on device").
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

}  // namespace ombrix
