#include "platform/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <string>

#include "platform/Errors.h"

namespace ombrix {
namespace {

inline bool ignorable(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

double radixInteger(std::string_view text, std::size_t i, int radix) {
    double value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (ignorable(c)) {
            continue;
        }
        const int d = hexValue(c);
        if (d < 0 || d >= radix) {
            break;
        }
        value = value * radix + d;
    }
    return value;
}

}  // namespace

double leadingNumber(std::string_view text) {
    // Small buffer of the significant characters of the number, whitespace removed.
    char buf[128];
    std::string big;  // for the rare number longer than the buffer
    std::size_t n = 0;
    auto push = [&](char c) {
        if (n < sizeof buf) {
            buf[n] = c;
        } else {
            if (big.empty()) {
                big.assign(buf, n);
            }
            big.push_back(c);
        }
        ++n;
    };

    std::size_t i = 0;
    auto next = [&]() -> char {  // next significant character, or 0 at the end
        while (i < text.size() && ignorable(text[i])) {
            ++i;
        }
        return i < text.size() ? text[i] : '\0';
    };

    char c = next();
    if (c == '&') {
        ++i;
        const char kind = next();
        if (kind == 'H' || kind == 'h') {
            return radixInteger(text, i + 1, 16);
        }
        if (kind == 'O' || kind == 'o') {
            return radixInteger(text, i + 1, 8);
        }
        return 0;
    }
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        ++i;
        c = next();
    }
    bool digits = false;
    bool point = false;
    while (true) {
        if (isDigit(c)) {
            push(c);
            digits = true;
        } else if (c == '.' && !point) {
            push(c);
            point = true;
        } else {
            break;
        }
        ++i;
        c = next();
    }
    if (!digits) {
        return 0;
    }
    bool negativeExponent = false;
    if (c == 'E' || c == 'e') {
        // The exponent counts only when digits follow it.
        const std::size_t save = i;
        const std::size_t saveN = n;
        ++i;
        char e = next();
        std::string_view sign;
        if (e == '+' || e == '-') {
            negativeExponent = e == '-';
            sign = e == '-' ? "-" : "+";
            ++i;
            e = next();
        }
        if (isDigit(e)) {
            push('e');
            if (!sign.empty()) {
                push(sign[0]);
            }
            while (isDigit(e)) {
                push(e);
                ++i;
                e = next();
            }
        } else {
            i = save;
            n = saveN;
            negativeExponent = false;
        }
    }
    const char* first = big.empty() ? buf : big.data();
    const char* last = first + n;
    if (*first == '.') {
        // from_chars wants a digit before the point in general format
        std::string withZero = "0" + std::string(first, last);
        double v = 0;
        auto [p, ec] = std::from_chars(withZero.data(), withZero.data() + withZero.size(), v);
        if (ec == std::errc::result_out_of_range) {
            if (negativeExponent) {
                return 0;
            }
            throw OmbrixError("Number too large: " + std::string(text));
        }
        return negative ? -v : v;
    }
    double v = 0;
    auto [p, ec] = std::from_chars(first, last, v);
    if (ec == std::errc::result_out_of_range) {
        if (negativeExponent) {
            return 0;
        }
        throw OmbrixError("Number too large: " + std::string(text));
    }
    return negative ? -v : v;
}

}  // namespace ombrix
