// The leading-number rule: the number at the start of a text, 0 when there is none.
#pragma once

#include <string_view>

namespace ombrix {

// Spaces, tabs, carriage returns and line feeds are ignored wherever they occur. Of what
// remains, the longest prefix that forms a number is read: an optional sign, digits with at
// most one full stop, and an optional exponent (E or e, optional sign, digits); or "&H"
// followed by hexadecimal digits, or "&O" followed by octal digits, read as a non-negative
// integer. A text without such a prefix is 0 ("12.5abc" is 12.5, "abc" and "-" are 0).
// A number too large for a double throws OmbrixError; one too small reads as 0.
double leadingNumber(std::string_view text);

}  // namespace ombrix
