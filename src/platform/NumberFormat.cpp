#include "platform/NumberFormat.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
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

__extension__ typedef unsigned __int128 Wide;  // 64 x 64 bit products, exactly

// The digits of k, a number of exactly 15 digits, without trailing zeros, at decimal exponent
// exp, as a Decimal.
Decimal fifteenDigits(std::uint64_t k, int exp) {
    Decimal out;
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, k);
    int n = static_cast<int>(r.ptr - digits);
    while (digits[n - 1] == '0') {
        --n;
    }
    std::copy(digits, digits + n, out.digits);
    out.len = n;
    out.exp = exp;
    return out;
}

// v from 10^-4 up to 10^14, not a whole number, rounded to 15 significant digits half away from
// zero, exactly: v is m / 2^s, so v * 10^p is the 128-bit m * 10^p shifted right by s, whose
// whole part is the fifteen digits and whose remainder says whether to round up. Nothing for
// other values.
std::optional<Decimal> exactDecimal15(double v) {
    if (!(v >= 1e-4 && v < 1e14)) {
        return std::nullopt;
    }
    static constexpr std::uint64_t kPow10[20] = {1ULL,
                                                 10ULL,
                                                 100ULL,
                                                 1000ULL,
                                                 10000ULL,
                                                 100000ULL,
                                                 1000000ULL,
                                                 10000000ULL,
                                                 100000000ULL,
                                                 1000000000ULL,
                                                 10000000000ULL,
                                                 100000000000ULL,
                                                 1000000000000ULL,
                                                 10000000000000ULL,
                                                 100000000000000ULL,
                                                 1000000000000000ULL,
                                                 10000000000000000ULL,
                                                 100000000000000000ULL,
                                                 1000000000000000000ULL,
                                                 10000000000000000000ULL};
    constexpr std::uint64_t kLow = 100000000000000ULL;  // 10^14, the least 15-digit number
    const auto bits = std::bit_cast<std::uint64_t>(v);
    const int biased = static_cast<int>(bits >> 52);
    const std::uint64_t m = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
    const int s = 1075 - biased;
    if (s <= 0) {
        return std::nullopt;
    }
    // floor(log2 v) * log10(2) is the decimal exponent of v or one less; one less gives a whole
    // part of 16 digits, and the next power down fits.
    int p = 14 - static_cast<int>(std::floor((biased - 1023) * 0.30102999566398119521));
    Wide n = static_cast<Wide>(m) * kPow10[p];
    if ((n >> s) >= 10 * kLow) {
        --p;
        n = static_cast<Wide>(m) * kPow10[p];
    }
    std::uint64_t k = static_cast<std::uint64_t>(n >> s);
    const Wide rest = n & ((static_cast<Wide>(1) << s) - 1);
    int exp = 14 - p;
    if (rest >= (static_cast<Wide>(1) << (s - 1)) && ++k == 10 * kLow) {
        k = kLow;
        ++exp;
    }
    return fifteenDigits(k, exp);
}

// The magnitude of v rounded to 15 significant digits, half away from zero, from its exact
// binary value. Whole numbers below 10^15 are their own digits, and most others come from exact
// integer arithmetic (exactDecimal15). Otherwise 17 correctly rounded
// digits decide: the exact value lies within half a unit of the seventeenth digit of them, so
// their last two digits tell whether it lies below or above the half of the fifteenth, unless
// they read exactly 50; only then does the exact expansion settle the half.
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
    if (const auto exact = exactDecimal15(v)) {
        return *exact;
    }
    // Seventeen correctly rounded digits: the last two tell on which side of the half the
    // exact value lies, unless they read exactly 50.
    auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, 16);
    int n = scientificDigits(text, r.ptr, digits, exp);
    bool roundUp = false;
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
    // The value times 10^decimals rounded half away from zero, as digits: keep of them, and one
    // more when rounding carries into a new leading digit.
    const int decimals = p.decimals;
    const int keep = d.len == 0 ? 0 : d.exp + decimals + 1;
    const auto room = static_cast<std::size_t>(2 * (std::max(keep, 1) + p.minIntDigits + decimals) +
                                               8);  // digits, zeros, commas, sign
    char small[160];
    std::string large;
    char* const scratch = room * 2 <= sizeof small ? small : (large.resize(room * 2), large.data());
    char* n = scratch;
    int len = 0;
    if (keep > 0) {
        const int copied = std::min(keep, d.len);
        std::memcpy(n + 1, d.digits, static_cast<std::size_t>(copied));
        std::memset(n + 1 + copied, '0', static_cast<std::size_t>(keep - copied));
        len = keep;
        if (keep < d.len && d.digits[keep] >= '5' && incrementInPlace(n + 1, keep)) {
            n[0] = '1';  // 99..9 rounded up to 100..0: the new leading digit sits in front
            ++len;
        } else {
            ++n;
        }
    } else {
        n[1] = keep == 0 && d.len > 0 && d.digits[0] >= '5' ? '1' : '0';
        ++n;
        len = 1;
    }
    const bool zero = len == 1 && n[0] == '0';

    // Integer part (nothing for a zero integer part, then padded to the pattern's zeros) and
    // decimals.
    const std::string_view digits(n, static_cast<std::size_t>(len));
    std::string_view intPart;
    std::string_view frac;
    char* const zeros = scratch + room;  // "00.." in front of digits below one
    if (len > decimals) {
        intPart = digits.substr(0, static_cast<std::size_t>(len - decimals));
        frac = digits.substr(static_cast<std::size_t>(len - decimals));
    } else {
        const int pad = decimals - len;
        std::memset(zeros, '0', static_cast<std::size_t>(pad));
        std::memcpy(zeros + pad, n, static_cast<std::size_t>(len));
        frac = std::string_view(zeros, static_cast<std::size_t>(decimals));
    }
    if (intPart == "0") {
        intPart = {};
    }
    std::string out;
    const auto intDigits = std::max(intPart.size(), static_cast<std::size_t>(p.minIntDigits));
    out.resize(1 + intDigits + intDigits / 3 + 1 + frac.size());
    char* o = out.data();
    if (v < 0 && !zero) {
        *o++ = '-';
    }
    const std::size_t padding = intDigits - intPart.size();
    for (std::size_t i = 0; i < intDigits; ++i) {
        if (p.grouping && i > 0 && (intDigits - i) % 3 == 0) {
            *o++ = ',';
        }
        *o++ = i < padding ? '0' : intPart[i - padding];
    }
    if (decimals > 0) {
        *o++ = '.';
        std::memcpy(o, frac.data(), frac.size());
        o += frac.size();
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

namespace {

// plainNumberText into buf, which holds at least 32 characters; returns the length.
std::size_t plainText(double v, char* buf) {
    const Decimal d = toDecimal15(v);
    char* o = buf;
    if (d.len == 0) {
        *o++ = '0';
        return 1;
    }
    if (v < 0) {
        *o++ = '-';
    }
    auto put = [&o](const char* from, int count) {
        std::memcpy(o, from, static_cast<std::size_t>(count));
        o += count;
    };
    if (d.exp < -4 || d.exp >= 15) {
        *o++ = d.digits[0];
        if (d.len > 1) {
            *o++ = '.';
            put(d.digits + 1, d.len - 1);
        }
        *o++ = 'E';
        *o++ = d.exp < 0 ? '-' : '+';
        const int e = d.exp < 0 ? -d.exp : d.exp;
        if (e < 10) {
            *o++ = '0';
        }
        o = std::to_chars(o, o + 8, e).ptr;
    } else if (d.exp >= 0) {
        const int intLen = d.exp + 1;
        put(d.digits, std::min(intLen, d.len));
        if (intLen > d.len) {
            std::memset(o, '0', static_cast<std::size_t>(intLen - d.len));
            o += intLen - d.len;
        } else if (d.len > intLen) {
            *o++ = '.';
            put(d.digits + intLen, d.len - intLen);
        }
    } else {
        *o++ = '0';
        *o++ = '.';
        std::memset(o, '0', static_cast<std::size_t>(-d.exp - 1));
        o += -d.exp - 1;
        put(d.digits, d.len);
    }
    return static_cast<std::size_t>(o - buf);
}

}  // namespace

std::string plainNumberText(double v) {
    if (!std::isfinite(v)) {
        return nonFinite(v);
    }
    char buf[40];
    return std::string(buf, plainText(v, buf));
}

std::string plainNumber(double v) {
    if (!std::isfinite(v)) {
        const std::string text = nonFinite(v);
        return (text[0] == '-' ? text : " " + text) + " ";
    }
    char buf[40];
    buf[0] = ' ';
    std::size_t len = plainText(v, buf + 1);
    const char* first = buf[1] == '-' ? buf + 1 : buf;  // a minus sign takes the space's place
    len += static_cast<std::size_t>(buf + 1 - first);
    buf[first - buf + static_cast<std::ptrdiff_t>(len)] = ' ';
    return std::string(first, len + 1);
}

}  // namespace ombrix
