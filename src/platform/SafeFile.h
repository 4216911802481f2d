// Replacing a file without ever leaving it half-written.
#pragma once

#include <string>
#include <string_view>

namespace ombrix {

// Writes bytes to a temporary file in the target's folder, checks every write, flushes it to
// disk and only then renames it over the target; an existing target keeps its permissions.
// On any failure (full disk, file-size limit, no permission) the target is untouched, the
// temporary file is removed, and OmbrixError says why ("Cannot write /a/b.txt: No space left
// on device").
void writeFileReplacing(const std::string& path, std::string_view bytes);

}  // namespace ombrix
