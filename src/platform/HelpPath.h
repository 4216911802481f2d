// Where the help file lies: the program's folder joined with the file name.
#pragma once

#include <string>
#include <string_view>

namespace ombrix {

// folder + file with exactly one "/" between them: a folder that (after trimming spaces) ends
// with "/" (the root) is used as it is, any other gets "/" appended.
std::string helpFilePath(std::string_view folder, std::string_view file);

}  // namespace ombrix
