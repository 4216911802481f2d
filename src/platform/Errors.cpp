#include "platform/Errors.h"

#include <new>

namespace ombrix {

std::string describeFailure(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
        return "Out of memory";
    }
    std::string what = e.what();
    return what.empty() ? std::string("Unknown failure") : what;
}

std::string quotedDescription(const std::exception& e) {
    return "\"" + describeFailure(e) + "\"";
}

}  // namespace ombrix
