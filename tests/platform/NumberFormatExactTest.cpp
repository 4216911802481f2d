// The number formatting against the printf-based reference it replaced: the same text for every
// pattern the program uses, over values chosen to reach every rounding decision.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/NumberFormat.h"
#include "platform/NumberFormatReference.h"

namespace {

namespace reference = ombrix::test::reference;

const std::vector<std::string> kPatterns = {
    "#,##0.00",  "0.0E+00", "####",  "###",       "0.00",     "0.0",       "#,##0", "#,##0.0",
    "#,###,##0", "#0",      "0.000", "#,##0.000", "0.00E-00", "00.0E+000", "000",   "0.0000000"};

// Values of every kind: random bit patterns (every magnitude, subnormals too), short and long
// decimals, exact halves at the fifteenth and sixteenth digit, and their neighbours.
std::vector<double> testValues() {
    std::mt19937_64 rng(20240611);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.5,
                                  2.675,
                                  1.005,
                                  0.125,
                                  999.95,
                                  12.0005,
                                  0.3,
                                  1e15,
                                  1e-5,
                                  9.5e-5,
                                  1e21,
                                  123456789012345.5,
                                  1234567890123455.0,
                                  9007199254740991.0,
                                  4.9e-324,
                                  1.7976931348623157e308};
    auto add = [&](double v) {
        values.push_back(v);
        values.push_back(-v);
        values.push_back(std::nextafter(v, 0.0));
        values.push_back(std::nextafter(v, 1e308));
    };
    for (int i = 0; i < 3000; ++i) {
        double v;
        do {
            v = std::bit_cast<double>(rng());
        } while (!std::isfinite(v));
        values.push_back(v);
    }
    std::uniform_int_distribution<int> digitCount(1, 17);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-12, 16);
    for (int i = 0; i < 3000; ++i) {
        // A decimal of up to 17 digits; every other one ends in 5 at the sixteenth digit.
        std::string text = std::to_string(1 + digit(rng) % 9);
        const int n = i % 2 == 0 ? 16 : digitCount(rng);
        for (int k = 1; k < n; ++k) {
            text += k == 15 && i % 2 == 0 ? '5' : static_cast<char>('0' + digit(rng));
        }
        text += "e" + std::to_string(exponent(rng) - (n - 1));
        add(std::strtod(text.c_str(), nullptr));
    }
    std::uniform_int_distribution<std::int64_t> big(1'000'000'000'000'000, 9'007'199'254'740'991);
    for (int i = 0; i < 1000; ++i) {
        // Whole numbers of sixteen digits ending in 5: exact ties at the fifteenth digit.
        const std::int64_t w = big(rng) / 10 * 10 + 5;
        add(static_cast<double>(w));
        add(static_cast<double>(w) / 1e9);  // and the same digits as a decimal
    }
    for (int i = 0; i < 2000; ++i) {
        add(static_cast<double>(i) / 8.0);
        add(static_cast<double>(i) * 0.001 + 0.0005);
        add(static_cast<double>(i) + 0.5);
    }
    return values;
}

TEST(NumberFormatExact, EveryPatternGivesTheReferenceText) {
    const auto values = testValues();
    int mismatches = 0;
    for (const double v : values) {
        for (const auto& pattern : kPatterns) {
            const std::string got = ombrix::formatNumber(v, pattern);
            const std::string want = reference::formatNumber(v, pattern);
            if (got != want && ++mismatches <= 20) {
                ADD_FAILURE() << std::hexfloat << v << " with " << pattern << ": " << got
                              << " instead of " << want;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(NumberFormatExact, PlainNumbersGiveTheReferenceText) {
    int mismatches = 0;
    for (const double v : testValues()) {
        const std::string got = ombrix::plainNumber(v);
        const std::string want = reference::plainNumber(v);
        if (got != want && ++mismatches <= 20) {
            ADD_FAILURE() << std::hexfloat << v << ": " << got << " instead of " << want;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(NumberFormatExact, NonFiniteValuesAreNamed) {
    EXPECT_EQ(ombrix::formatNumber(std::nan(""), "0.00"), "NaN");
    EXPECT_EQ(ombrix::formatNumber(-INFINITY, "#,##0"), "-Infinity");
    EXPECT_EQ(ombrix::plainNumberText(INFINITY), "Infinity");
}

}  // namespace
