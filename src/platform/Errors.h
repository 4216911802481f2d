// Failures that a command's failure handler turns into an "Error" message box.
#pragma once

#include <stdexcept>
#include <string>

namespace ombrix {

// An unexpected failure with a short, human description ("File not found: /a/b.utl").
class OmbrixError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The description shown for any exception caught by a failure handler.
std::string describeFailure(const std::exception& e);

// The description enclosed in double quotes, as the "Error" boxes show it.
std::string quotedDescription(const std::exception& e);

}  // namespace ombrix
