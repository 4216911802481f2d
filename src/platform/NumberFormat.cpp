#include "platform/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace ombrix {
namespace {

constexpr int kKeep = 15;  // significant digits every number is first rounded to

// A finite non-negative value as decimal digits: value = d0.d1d2... x 10^exp, no trailing
// zeros in digits; zero has no digits.
struct Decimal {
    char digits[kKeep];
    int len = 0;
    int exp = 0;
};

// The digits and exponent of a text in the form std::to_chars writes in scientific notation
// ("d.ddde+XX", or "de+XX" for one digit); returns the number of digits written to digits.
int scientificDigits(const char* first, const char* last, char* digits, int& exp) {
    const char* e =
        static_cast<const char*>(std::memchr(first, 'e', static_cast<std::size_t>(last - first)));
    digits[0] = first[0];
    int n = 1;
    if (e - first > 1) {  // "d." and more digits
        const auto more = static_cast<std::size_t>(e - first - 2);
        std::memcpy(digits + 1, first + 2, more);
        n += static_cast<int>(more);
    }
    int value = 0;
    for (const char* p = e + 2; p < last; ++p) {
        value = value * 10 + (*p - '0');
    }
    exp = e[1] == '-' ? -value : value;
    return n;
}

// Adds one unit in the last place of digits[0..len); true when they all roll over to 0 (999
// becomes 000, and the caller puts the new leading 1).
bool incrementInPlace(char* digits, int len) {
    for (int i = len; i-- > 0;) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            return false;
        }
    }
    return true;
}

// The magnitude of v rounded to 15 significant digits, half away from zero, from its exact
// binary value. The shortest text that reads back as v decides when it has at most 15 digits
// (a normal double lies closer to it than to any other 15-digit number); otherwise 17 correctly
// rounded digits decide unless their last two read exactly 50, and only then does the exact
// expansion settle the half.
Decimal toDecimal15(double v) {
    Decimal out;
    v = std::fabs(v);
    if (v == 0.0) {
        return out;
    }
    char text[32];
    char digits[32];
    int exp = 0;
    if (v < 1e15 && v == std::floor(v)) {
        // A whole number below 10^15 has at most 15 digits, all of them exact.
        const auto r =
            std::to_chars(digits, digits + sizeof digits, static_cast<unsigned long long>(v));
        int n = static_cast<int>(r.ptr - digits);
        out.exp = n - 1;
        while (digits[n - 1] == '0') {
            --n;
        }
        std::copy(digits, digits + n, out.digits);
        out.len = n;
        return out;
    }
    auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific);
    int n = scientificDigits(text, r.ptr, digits, exp);
    bool roundUp = false;
    // Below the normal range a double has fewer significant bits, and its shortest text no
    // longer pins the fifteenth digit.
    if (n > kKeep || v < std::numeric_limits<double>::min()) {
        r = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, 16);
        n = scientificDigits(text, r.ptr, digits, exp);
        const int tail = (digits[15] - '0') * 10 + (digits[16] - '0');
        if (tail != 50) {
            roundUp = tail > 50;
        } else {
            // Every double's exact expansion has fewer than 780 significant digits.
            char exact[800];
            char exactDigits[800];
            r = std::to_chars(exact, exact + sizeof exact, v, std::chars_format::scientific, 780);
            scientificDigits(exact, r.ptr, exactDigits, exp);
            std::copy(exactDigits, exactDigits + kKeep, digits);
            roundUp = exactDigits[kKeep] >= '5';
        }
        n = kKeep;
    }
    if (roundUp && incrementInPlace(digits, n)) {
        digits[0] = '1';  // 9.99..9 became 10.00..0: one digit at the next power
        n = 1;
        ++exp;
    }
    while (n > 0 && digits[n - 1] == '0') {
        --n;
    }
    std::copy(digits, digits + n, out.digits);
    out.len = n;
    out.exp = exp;
    return out;
}

// Adds one unit in the last place of a digit string; returns true when a new leading digit
// appears ("999" becomes "1000").
bool incrementDigits(std::string& d) {
    if (incrementInPlace(d.data(), static_cast<int>(d.size()))) {
        d.insert(d.begin(), '1');
        return true;
    }
    return false;
}

// value x 10^decimals rounded half away from zero, as a digit string (possibly "0").
std::string scaledInteger(const Decimal& d, int decimals) {
    if (d.len == 0) {
        return "0";
    }
    const int keep = d.exp + decimals + 1;  // number of digits at or above 10^-decimals
    std::string kept;
    bool roundUp = false;
    if (keep > 0) {
        kept.assign(d.digits, static_cast<std::size_t>(std::min(keep, d.len)));
        if (keep > d.len) {
            kept.append(static_cast<std::size_t>(keep - d.len), '0');
        }
        roundUp = keep < d.len && d.digits[keep] >= '5';
    } else {
        kept = "0";
        roundUp = keep == 0 && d.digits[0] >= '5';
    }
    if (roundUp) {
        incrementDigits(kept);
    }
    const auto first = kept.find_first_not_of('0');
    if (first == std::string::npos) {
        return "0";
    }
    kept.erase(0, first);
    return kept;
}

std::string nonFinite(double v) {
    if (std::isnan(v)) {
        return "NaN";
    }
    return v < 0 ? "-Infinity" : "Infinity";
}

struct Pattern {
    int minIntDigits = 0;
    bool grouping = false;
    int decimals = 0;
    bool scientific = false;
    bool expAlwaysSign = false;
    int expDigits = 0;
};

Pattern parsePattern(std::string_view p) {
    Pattern out;
    std::size_t i = 0;
    for (; i < p.size() && p[i] != '.' && p[i] != 'E' && p[i] != 'e'; ++i) {
        switch (p[i]) {
            case '0':
                ++out.minIntDigits;
                break;
            case ',':
                out.grouping = true;
                break;
            case '#':
                break;
            default:
                throw std::invalid_argument("Unsupported number format: " + std::string(p));
        }
    }
    if (i < p.size() && p[i] == '.') {
        for (++i; i < p.size() && (p[i] == '0' || p[i] == '#'); ++i) {
            ++out.decimals;
        }
    }
    if (i < p.size() && (p[i] == 'E' || p[i] == 'e')) {
        out.scientific = true;
        ++i;
        if (i < p.size() && (p[i] == '+' || p[i] == '-')) {
            out.expAlwaysSign = p[i] == '+';
            ++i;
        }
        for (; i < p.size() && p[i] == '0'; ++i) {
            ++out.expDigits;
        }
    }
    if (i != p.size()) {
        throw std::invalid_argument("Unsupported number format: " + std::string(p));
    }
    return out;
}

// Appends the digits with a comma before every group of three from the right.
void appendGrouped(std::string& out, std::string_view digits) {
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) {
            out.push_back(',');
        }
        out.push_back(digits[i]);
    }
}

// Appends a whole number of at least minDigits digits, zeros in front.
void appendExponent(std::string& out, int value, int minDigits) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    const int len = static_cast<int>(r.ptr - buf);
    if (len < minDigits) {
        out.append(static_cast<std::size_t>(minDigits - len), '0');
    }
    out.append(buf, r.ptr);
}

std::string formatScientific(double v, const Decimal& d, const Pattern& p) {
    const int intDigits = p.minIntDigits > 0 ? p.minIntDigits : 1;
    const int sig = intDigits + p.decimals;
    std::string mant;
    int exp = 0;
    if (d.len > 0) {
        exp = d.exp - (intDigits - 1);
        mant.assign(d.digits, static_cast<std::size_t>(std::min(sig, d.len)));
        if (sig > d.len) {
            mant.append(static_cast<std::size_t>(sig - d.len), '0');
        }
        if (sig < d.len && d.digits[sig] >= '5' && incrementDigits(mant)) {
            mant.pop_back();
            ++exp;
        }
    } else {
        mant.assign(static_cast<std::size_t>(sig), '0');
    }
    const bool zero = mant.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (v < 0 && !zero) {
        out += '-';
    }
    out.append(mant, 0, static_cast<std::size_t>(intDigits));
    if (p.decimals > 0) {
        out += '.';
        out.append(mant, static_cast<std::size_t>(intDigits));
    }
    out += 'E';
    if (exp < 0) {
        out += '-';
    } else if (p.expAlwaysSign) {
        out += '+';
    }
    appendExponent(out, exp < 0 ? -exp : exp, p.expDigits);
    return out;
}

}  // namespace

std::string formatNumber(double v, std::string_view pattern) {
    if (!std::isfinite(v)) {
        return nonFinite(v);
    }
    const Pattern p = parsePattern(pattern);
    const Decimal d = toDecimal15(v);
    if (p.scientific) {
        return formatScientific(v, d, p);
    }
    const std::string n = scaledInteger(d, p.decimals);
    const auto decimals = static_cast<std::size_t>(p.decimals);
    std::string_view intPart;
    std::string_view frac;
    std::string padded;  // "0.00ddd" digits when the value is below one
    if (n.size() > decimals) {
        intPart = std::string_view(n).substr(0, n.size() - decimals);
        frac = std::string_view(n).substr(n.size() - decimals);
    } else {
        padded.assign(decimals - n.size(), '0');
        padded += n;
        frac = padded;
        intPart = "0";
    }
    if (intPart == "0") {
        intPart = {};
    }
    const bool zero = n == "0";
    std::string out;
    if (v < 0 && !zero) {
        out += '-';
    }
    const auto minInt = static_cast<std::size_t>(p.minIntDigits);
    if (p.grouping) {
        if (intPart.size() < minInt) {
            std::string full(minInt - intPart.size(), '0');
            full += intPart;
            appendGrouped(out, full);
        } else {
            appendGrouped(out, intPart);
        }
    } else {
        if (intPart.size() < minInt) {
            out.append(minInt - intPart.size(), '0');
        }
        out += intPart;
    }
    if (p.decimals > 0) {
        out += '.';
        out += frac;
    }
    return out;
}

std::string plainNumberText(double v) {
    if (!std::isfinite(v)) {
        return nonFinite(v);
    }
    const Decimal d = toDecimal15(v);
    if (d.len == 0) {
        return "0";
    }
    std::string out;
    if (v < 0) {
        out += '-';
    }
    if (d.exp < -4 || d.exp >= 15) {
        out += d.digits[0];
        if (d.len > 1) {
            out += '.';
            out.append(d.digits + 1, static_cast<std::size_t>(d.len - 1));
        }
        out += d.exp < 0 ? "E-" : "E+";
        appendExponent(out, d.exp < 0 ? -d.exp : d.exp, 2);
        return out;
    }
    if (d.exp >= 0) {
        const int intLen = d.exp + 1;
        out.append(d.digits, static_cast<std::size_t>(std::min(intLen, d.len)));
        if (intLen > d.len) {
            out.append(static_cast<std::size_t>(intLen - d.len), '0');
        } else if (d.len > intLen) {
            out += '.';
            out.append(d.digits + intLen, static_cast<std::size_t>(d.len - intLen));
        }
        return out;
    }
    out += "0.";
    out.append(static_cast<std::size_t>(-d.exp - 1), '0');
    out.append(d.digits, static_cast<std::size_t>(d.len));
    return out;
}

std::string plainNumber(double v) {
    const std::string text = plainNumberText(v);
    std::string out;
    out.reserve(text.size() + 2);
    if (text[0] != '-') {
        out += ' ';
    }
    out += text;
    out += ' ';
    return out;
}

}  // namespace ombrix
