#include "platform/HelpPath.h"

namespace ombrix {

std::string helpFilePath(std::string_view folder, std::string_view file) {
    std::string_view trimmed = folder;
    while (!trimmed.empty() && trimmed.front() == ' ') {
        trimmed.remove_prefix(1);
    }
    while (!trimmed.empty() && trimmed.back() == ' ') {
        trimmed.remove_suffix(1);
    }
    std::string out(folder);
    if (trimmed.empty() || trimmed.back() != '/') {
        out += '/';
    }
    return out + std::string(file);
}

}  // namespace ombrix
