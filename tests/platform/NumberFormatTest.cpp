#include <gtest/gtest.h>

#include "platform/NumberFormat.h"

using ombrix::formatNumber;
using ombrix::plainNumber;
using ombrix::plainNumberText;

TEST(NumberFormat, GroupedPatternsRoundHalfAwayFromZero) {
    EXPECT_EQ(formatNumber(1234567.891, "#,##0.00"), "1,234,567.89");
    EXPECT_EQ(formatNumber(0.125, "#,##0.00"), "0.13");
    EXPECT_EQ(formatNumber(-0.125, "#,##0.00"), "-0.13");
    EXPECT_EQ(formatNumber(2.5, "#,##0"), "3");
    EXPECT_EQ(formatNumber(-2.5, "#,##0"), "-3");
    EXPECT_EQ(formatNumber(999.95, "#,##0.0"), "1,000.0");
    EXPECT_EQ(formatNumber(12.0005, "#,##0.000"), "12.001");
    EXPECT_EQ(formatNumber(1000, "#,###,##0"), "1,000");
    EXPECT_EQ(formatNumber(-1234567, "#,###,##0"), "-1,234,567");
}

TEST(NumberFormat, FifteenSignificantDigitsDecideTheHalf) {
    // 2.675 is stored as 2.67499999999999982...; at 15 digits it is 2.675 and rounds up.
    EXPECT_EQ(formatNumber(2.675, "0.00"), "2.68");
    EXPECT_EQ(formatNumber(1.005, "0.00"), "1.01");
    EXPECT_EQ(formatNumber(0.1 + 0.2, "0.000"), "0.300");
    // An exact binary tie at the sixteenth digit rounds away from zero.
    EXPECT_EQ(plainNumberText(1234567890123455.0), "1.23456789012346E+15");
}

TEST(NumberFormat, ZeroNeverCarriesAMinusSign) {
    EXPECT_EQ(formatNumber(-0.004, "0.00"), "0.00");
    EXPECT_EQ(formatNumber(-0.0, "#,##0"), "0");
    EXPECT_EQ(formatNumber(-0.04, "0.0"), "0.0");
    EXPECT_EQ(formatNumber(-0.05, "0.0"), "-0.1");
}

TEST(NumberFormat, HashOnlyPatternsPrintNothingForZero) {
    EXPECT_EQ(formatNumber(0, "####"), "");
    EXPECT_EQ(formatNumber(0, "###"), "");
    EXPECT_EQ(formatNumber(37, "####"), "37");
    EXPECT_EQ(formatNumber(12345, "####"), "12345");
    EXPECT_EQ(formatNumber(0, "#0"), "0");
    EXPECT_EQ(formatNumber(98, "#0"), "98");
    EXPECT_EQ(formatNumber(0.4, "#,##0"), "0");
}

TEST(NumberFormat, ScientificHasTwoExponentDigitsAndCarries) {
    EXPECT_EQ(formatNumber(3400, "0.0E+00"), "3.4E+03");
    EXPECT_EQ(formatNumber(-230, "0.0E+00"), "-2.3E+02");
    EXPECT_EQ(formatNumber(9960, "0.0E+00"), "1.0E+04");
    EXPECT_EQ(formatNumber(0, "0.0E+00"), "0.0E+00");
    EXPECT_EQ(formatNumber(0.00345, "0.0E+00"), "3.5E-03");
    EXPECT_EQ(formatNumber(1.5e120, "0.0E+00"), "1.5E+120");
    EXPECT_EQ(formatNumber(-20, "0.0E+00"), "-2.0E+01");
}

TEST(NumberFormat, PlainNumbersAreShortestWithinFifteenDigits) {
    EXPECT_EQ(plainNumberText(0.5), "0.5");
    EXPECT_EQ(plainNumberText(37), "37");
    EXPECT_EQ(plainNumberText(-2.25), "-2.25");
    EXPECT_EQ(plainNumberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(plainNumberText(1e15), "1E+15");
    EXPECT_EQ(plainNumberText(123456789012345.0), "123456789012345");
    EXPECT_EQ(plainNumberText(0.0001), "0.0001");
    EXPECT_EQ(plainNumberText(0.00001234), "1.234E-05");
    EXPECT_EQ(plainNumberText(-0.0), "0");
    EXPECT_EQ(plainNumber(37), " 37 ");
    EXPECT_EQ(plainNumber(-2.5), "-2.5 ");
    EXPECT_EQ(plainNumber(0), " 0 ");
}

TEST(NumberFormat, NonFiniteValuesHaveNames) {
    EXPECT_EQ(formatNumber(1.0 / 0.0, "#,##0"), "Infinity");
    EXPECT_EQ(plainNumberText(-1.0 / 0.0), "-Infinity");
}

TEST(NumberFormat, UnknownPatternIsRejected) {
    EXPECT_THROW(formatNumber(1, "0.0x"), std::invalid_argument);
}
