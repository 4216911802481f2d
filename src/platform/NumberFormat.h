// Number-format patterns ("#,##0.00", "0.0E+00", "####" ...) and the plain number text.
#pragma once

#include <string>
#include <string_view>

namespace ombrix {

// Formats v with a pattern made of an integer part of '#', '0' and ',' (grouping), an optional
// '.' with '0' decimals, and an optional exponent part "E+00" / "E-00". The value is first
// rounded to 15 significant digits, then to the pattern's decimals, half away from zero; a
// value that rounds to zero prints without a minus sign. An integer part without '0' prints
// nothing for a zero integer part ("####" prints "" for 0).
std::string formatNumber(double v, std::string_view pattern);

// The shortest text of v with at most 15 significant digits ("0.5", "37", "1.5E+20").
std::string plainNumberText(double v);

// A number printed without a pattern: one leading space (or the minus sign) and one trailing
// space, as report lines write counts and day totals (" 37 ", "-2.5 ").
std::string plainNumber(double v);

}  // namespace ombrix
