#include "platform/LeadingNumber.h"

#include <algorithm>
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

// The text for a message, cut short when it is long (a field can be a whole 200 MB line).
std::string shortened(std::string_view text) {
    constexpr std::size_t kShown = 40;
    if (text.size() <= kShown) {
        return std::string(text);
    }
    return std::string(text.substr(0, kShown)) + "...";
}

// Whether a number that does not fit a double (digits, an optional point, an optional exponent
// "e", sign and digits) is too large rather than too small: its first significant digit stands
// at a positive power of ten.
bool tooLarge(std::string_view number) {
    const std::size_t e = number.find('e');
    const std::string_view mantissa = number.substr(0, e);
    // The power of ten of the first non-zero digit, plus one.
    long long magnitude = 0;
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstNonZero = mantissa.find_first_not_of("0.");
    if (firstNonZero == std::string_view::npos) {
        return false;  // zero
    }
    if (firstNonZero < point) {
        magnitude = static_cast<long long>(point - firstNonZero);
    } else {
        magnitude = -static_cast<long long>(firstNonZero - point - 1);
    }
    if (e != std::string_view::npos) {
        std::size_t k = e + 1;
        const bool negative = k < number.size() && number[k] == '-';
        if (k < number.size() && (number[k] == '-' || number[k] == '+')) {
            ++k;
        }
        long long exponent = 0;
        constexpr long long kCap = 1'000'000'000'000LL;  // far past any double, no overflow
        for (; k < number.size(); ++k) {
            exponent = std::min(kCap, exponent * 10 + (number[k] - '0'));
        }
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude > 0;
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
    if (!std::isfinite(value)) {
        throw OmbrixError("Number too large: " + shortened(text));
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
    if (c == 'E' || c == 'e') {
        // The exponent counts only when digits follow it.
        const std::size_t save = i;
        const std::size_t saveN = n;
        ++i;
        char e = next();
        std::string_view sign;
        if (e == '+' || e == '-') {
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
        }
    }
    const char* first = big.empty() ? buf : big.data();
    const char* last = first + n;
    double v = 0;
    std::errc ec{};
    if (*first == '.') {
        // from_chars wants a digit before the point in general format
        std::string withZero = "0" + std::string(first, last);
        ec = std::from_chars(withZero.data(), withZero.data() + withZero.size(), v).ec;
    } else {
        ec = std::from_chars(first, last, v).ec;
    }
    if (ec == std::errc::result_out_of_range) {
        if (!tooLarge(std::string_view(first, n))) {
            return 0;  // below the smallest double
        }
        throw OmbrixError("Number too large: " + shortened(text));
    }
    return negative ? -v : v;
}

}  // namespace ombrix
