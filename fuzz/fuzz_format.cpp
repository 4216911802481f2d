// Fuzzes the number formats with every pattern the program prints with, and the plain number
// text, on any double: the text has the pattern's shape, never shows a minus sign on a zero,
// and reads back within the rounding the pattern allows.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "platform/NumberFormat.h"

namespace {

using ombrix::fuzz::FuzzInput;

constexpr std::string_view kPatterns[] = {"###",      "####",      "#,##0",     "#,##0.0",
                                          "#,##0.00", "#,##0.000", "#0",        "0.0",
                                          "0.00",     "0.000",     "#,###,##0", "0.0E+00"};

// The value of a text without its grouping commas ("" reads as 0).
long double readBack(const std::string& text) {
    std::string plain;
    for (const char c : text) {
        if (c != ',') {
            plain.push_back(c);
        }
    }
    if (plain.empty()) {
        return 0;
    }
    char* end = nullptr;
    const long double v = std::strtold(plain.c_str(), &end);
    OMBRIX_FUZZ_CHECK(end != nullptr && *end == '\0', text);
    return v;
}

// A value worth formatting: any bits, or a decimal that sits on or next to a rounding tie.
double value(FuzzInput& in) {
    const std::uint8_t kind = in.byte() % 4;
    if (kind == 0) {
        return in.anyDouble();
    }
    const double base = static_cast<double>(in.inRange(-2000000000L, 2000000000L));
    const double scale = std::pow(10.0, static_cast<double>(in.inRange(-20, 20)));
    double v = (base + 0.5) * scale;
    if (kind == 2) {
        v = std::nextafter(v, in.byte() % 2 != 0 ? INFINITY : -INFINITY);
    } else if (kind == 3) {
        v = base * scale;
    }
    return v;
}

void checkPattern(double v, std::string_view pattern) {
    const std::string text = ombrix::formatNumber(v, pattern);
    const std::string what = std::string(pattern) + " of " + std::to_string(v) + " gave " + text;
    if (!std::isfinite(v)) {
        OMBRIX_FUZZ_CHECK(text == "NaN" || text == "Infinity" || text == "-Infinity", what);
        return;
    }
    for (const char c : text) {
        OMBRIX_FUZZ_CHECK(
            (c >= '0' && c <= '9') || c == ',' || c == '.' || c == '-' || c == 'E' || c == '+',
            what);
    }
    OMBRIX_FUZZ_CHECK(text.find('-') == std::string::npos || text[0] == '-' ||
                          text.find("E-") != std::string::npos,
                      what);
    const long double back = readBack(text);
    // A minus sign only in front of a value that did not round to zero.
    if (text[0] == '-') {
        OMBRIX_FUZZ_CHECK(back != 0 && v < 0, what);
    }
    const long double magnitude = std::fabs(static_cast<long double>(v));
    // First rounding to 15 significant digits, then to the pattern.
    const long double first = magnitude * 1e-14L;
    const auto point = pattern.find('.');
    const auto e = pattern.find('E');
    if (e != std::string_view::npos) {
        // "0.0E+00": one digit before the point, one after, a signed exponent of two digits.
        const auto te = text.find('E');
        OMBRIX_FUZZ_CHECK(te != std::string::npos && te + 4 <= text.size(), what);
        OMBRIX_FUZZ_CHECK(text[te + 1] == '+' || text[te + 1] == '-', what);
        const long double mant = std::fabs(readBack(text.substr(0, te)));
        OMBRIX_FUZZ_CHECK(v == 0 ? mant == 0 : mant >= 1 && mant < 10, what);
        const long exp = std::strtol(text.c_str() + te + 1, nullptr, 10);
        const long double unit = std::pow(10.0L, static_cast<long double>(exp - 1));
        OMBRIX_FUZZ_CHECK(std::fabs(back - v) <= 0.5L * unit * (1 + 1e-12L) + first, what);
        return;
    }
    const int decimals =
        point == std::string_view::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
    const auto textPoint = text.find('.');
    OMBRIX_FUZZ_CHECK(decimals == 0
                          ? textPoint == std::string::npos
                          : textPoint != std::string::npos &&
                                text.size() - textPoint - 1 == static_cast<std::size_t>(decimals),
                      what);
    // Grouping: commas only where the pattern has them, three digits between them.
    const std::string intPart = text.substr(
        text[0] == '-' ? 1 : 0,
        textPoint == std::string::npos ? std::string::npos : textPoint - (text[0] == '-' ? 1 : 0));
    const bool grouping = pattern.find(',') != std::string_view::npos;
    for (std::size_t i = 0; i < intPart.size(); ++i) {
        const std::size_t fromEnd = intPart.size() - i;
        OMBRIX_FUZZ_CHECK((intPart[i] == ',') == (grouping && fromEnd % 4 == 0), what);
    }
    const long double unit = std::pow(10.0L, static_cast<long double>(-decimals));
    OMBRIX_FUZZ_CHECK(std::fabs(back - v) <= 0.5L * unit * (1 + 1e-12L) + first, what);
}

void checkPlain(double v) {
    const std::string text = ombrix::plainNumberText(v);
    const std::string what = std::to_string(v) + " gave " + text;
    const std::string padded = ombrix::plainNumber(v);
    OMBRIX_FUZZ_CHECK(padded.back() == ' ' && (padded[0] == ' ' || padded[0] == '-'), what);
    if (!std::isfinite(v)) {
        return;
    }
    int significant = 0;
    bool leading = true;
    for (const char c : text.substr(0, text.find('E'))) {
        if (c >= '1' && c <= '9') {
            leading = false;
        }
        if (c >= '0' && c <= '9' && !leading) {
            ++significant;
        }
    }
    OMBRIX_FUZZ_CHECK(significant <= 15, what);
    OMBRIX_FUZZ_CHECK(text != "-0" && (text[0] != '-' || v < 0), what);
    const long double back = readBack(text);
    OMBRIX_FUZZ_CHECK(std::fabs(back - v) <= std::fabs(static_cast<long double>(v)) * 5.01e-15L,
                      what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    while (!in.empty()) {
        const double v = value(in);
        for (const std::string_view pattern : kPatterns) {
            checkPattern(v, pattern);
        }
        checkPlain(v);
    }
    return 0;
}
