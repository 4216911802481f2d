// Reading a whole data file into memory, safely whatever the path names.
#pragma once

#include <cstddef>
#include <string>

namespace ombrix {

// The largest file read whole (1 GiB), far beyond any real data or text file.
inline constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

// The bytes of the regular file at path. A folder, a named pipe or a device (which could block
// or never end) is refused before the first byte is read, and so is a file larger than
// kMaxFileBytes; the file is closed on every path. Throws OmbrixError: "File not found: PATH",
// "Permission denied: PATH", "Not a file: PATH", "File too large: PATH has more than 1024 MB",
// "Cannot read PATH: REASON".
std::string readRegularFile(const std::string& path);

}  // namespace ombrix
