// The number formatting as first written, digit by digit from the C library's printf: the
// reference the fast formatting is checked against.
#pragma once

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::test::reference {

// A finite non-negative value as decimal digits: value = d0.d1d2... x 10^exp, no trailing
// zeros in digits; zero is an empty digit string.
struct Decimal {
    std::string digits;
    int exp = 0;
};

// Adds one unit in the last place of a digit string; returns true when a new leading digit
// appears ("999" becomes "1000").
inline bool incrementDigits(std::string& d) {
    for (std::size_t i = d.size(); i-- > 0;) {
        if (d[i] == '9') {
            d[i] = '0';
        } else {
            ++d[i];
            return false;
        }
    }
    d.insert(d.begin(), '1');
    return true;
}

inline void stripTrailingZeros(std::string& d) {
    while (!d.empty() && d.back() == '0') {
        d.pop_back();
    }
}

// The magnitude of v rounded to 15 significant digits, half away from zero.
inline Decimal toDecimal15(double v) {
    Decimal out;
    v = std::fabs(v);
    if (v == 0.0) {
        return out;
    }
    constexpr int kKeep = 15;
    // 25 significant digits decide the rounding unless the tail reads as an exact half; then
    // the exact expansion (glibc prints it exactly) settles the tie.
    auto expand = [v](int precision, std::string& digits, int& exp) {
        std::vector<char> buf(static_cast<std::size_t>(precision) + 32);
        std::snprintf(buf.data(), buf.size(), "%.*e", precision, v);
        std::string s(buf.data());
        const auto e = s.find('e');
        digits.clear();
        for (std::size_t i = 0; i < e; ++i) {
            if (s[i] != '.') {
                digits.push_back(s[i]);
            }
        }
        exp = std::stoi(s.substr(e + 1));
    };
    std::string digits;
    int exp = 0;
    expand(24, digits, exp);
    bool halfTail =
        digits[kKeep] == '5' && digits.find_first_not_of('0', kKeep + 1) == std::string::npos;
    if (halfTail) {
        expand(800, digits, exp);
    }
    bool roundUp = digits[kKeep] >= '5';
    std::string kept = digits.substr(0, kKeep);
    if (roundUp && incrementDigits(kept)) {
        kept.pop_back();
        ++exp;
    }
    stripTrailingZeros(kept);
    out.digits = kept;
    out.exp = exp;
    return out;
}

// value x 10^decimals rounded half away from zero, as a digit string (possibly "0").
inline std::string scaledInteger(const Decimal& d, int decimals) {
    if (d.digits.empty()) {
        return "0";
    }
    const int keep = d.exp + decimals + 1;  // number of digits at or above 10^-decimals
    std::string kept;
    bool roundUp = false;
    if (keep > 0) {
        for (int i = 0; i < keep; ++i) {
            kept.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0');
        }
        roundUp = keep < static_cast<int>(d.digits.size()) && d.digits[keep] >= '5';
    } else {
        kept = "0";
        roundUp = keep == 0 && d.digits[0] >= '5';
    }
    if (roundUp) {
        incrementDigits(kept);
    }
    const auto first = kept.find_first_not_of('0');
    return first == std::string::npos ? std::string("0") : kept.substr(first);
}

inline std::string nonFinite(double v) {
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

inline Pattern parsePattern(std::string_view p) {
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

inline std::string groupThousands(const std::string& digits) {
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) {
            out.push_back(',');
        }
        out.push_back(digits[i]);
    }
    return out;
}

inline std::string formatScientific(double v, const Pattern& p) {
    const Decimal d = toDecimal15(v);
    const int intDigits = p.minIntDigits > 0 ? p.minIntDigits : 1;
    const int sig = intDigits + p.decimals;
    std::string mant;
    int exp = 0;
    if (!d.digits.empty()) {
        exp = d.exp - (intDigits - 1);
        for (int i = 0; i < sig; ++i) {
            mant.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0');
        }
        if (sig < static_cast<int>(d.digits.size()) && d.digits[sig] >= '5' &&
            incrementDigits(mant)) {
            mant.pop_back();
            ++exp;
        }
    } else {
        mant.assign(static_cast<std::size_t>(sig), '0');
    }
    const bool zero = mant.find_first_not_of('0') == std::string::npos;
    std::string out = (v < 0 && !zero) ? "-" : "";
    out += mant.substr(0, static_cast<std::size_t>(intDigits));
    if (p.decimals > 0) {
        out += "." + mant.substr(static_cast<std::size_t>(intDigits));
    }
    out += 'E';
    if (exp < 0) {
        out += '-';
    } else if (p.expAlwaysSign) {
        out += '+';
    }
    std::string e = std::to_string(exp < 0 ? -exp : exp);
    while (static_cast<int>(e.size()) < p.expDigits) {
        e.insert(e.begin(), '0');
    }
    return out + e;
}

inline std::string formatNumber(double v, std::string_view pattern) {
    if (!std::isfinite(v)) {
        return nonFinite(v);
    }
    const Pattern p = parsePattern(pattern);
    if (p.scientific) {
        return formatScientific(v, p);
    }
    const std::string n = scaledInteger(toDecimal15(v), p.decimals);
    std::string intPart;
    std::string frac;
    if (static_cast<int>(n.size()) > p.decimals) {
        intPart = n.substr(0, n.size() - static_cast<std::size_t>(p.decimals));
        frac = n.substr(n.size() - static_cast<std::size_t>(p.decimals));
    } else {
        intPart = "0";
        frac = std::string(static_cast<std::size_t>(p.decimals) - n.size(), '0') + n;
    }
    if (intPart == "0") {
        intPart.clear();
    }
    while (static_cast<int>(intPart.size()) < p.minIntDigits) {
        intPart.insert(intPart.begin(), '0');
    }
    if (p.grouping) {
        intPart = groupThousands(intPart);
    }
    const bool zero = n == "0";
    std::string out = (v < 0 && !zero) ? "-" : "";
    out += intPart;
    if (p.decimals > 0) {
        out += "." + frac;
    }
    return out;
}

inline std::string plainNumberText(double v) {
    if (!std::isfinite(v)) {
        return nonFinite(v);
    }
    const Decimal d = toDecimal15(v);
    if (d.digits.empty()) {
        return "0";
    }
    std::string out = v < 0 ? "-" : "";
    if (d.exp < -4 || d.exp >= 15) {
        out += d.digits.substr(0, 1);
        if (d.digits.size() > 1) {
            out += "." + d.digits.substr(1);
        }
        out += d.exp < 0 ? "E-" : "E+";
        std::string e = std::to_string(d.exp < 0 ? -d.exp : d.exp);
        if (e.size() < 2) {
            e.insert(e.begin(), '0');
        }
        return out + e;
    }
    if (d.exp >= 0) {
        const auto intLen = static_cast<std::size_t>(d.exp) + 1;
        std::string intPart = d.digits.substr(0, std::min(intLen, d.digits.size()));
        intPart.append(intLen - intPart.size(), '0');
        out += intPart;
        if (d.digits.size() > intLen) {
            out += "." + d.digits.substr(intLen);
        }
        return out;
    }
    return out + "0." + std::string(static_cast<std::size_t>(-d.exp - 1), '0') + d.digits;
}

inline std::string plainNumber(double v) {
    const std::string text = plainNumberText(v);
    return (text[0] == '-' ? text : " " + text) + " ";
}

}  // namespace ombrix::test::reference
