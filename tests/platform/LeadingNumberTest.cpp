#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/LeadingNumber.h"

using ombrix::leadingNumber;

TEST(LeadingNumber, ReadsTheLongestNumericPrefix) {
    EXPECT_EQ(leadingNumber("12.5abc"), 12.5);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("-"), 0);
    EXPECT_EQ(leadingNumber("-2"), -2);
    EXPECT_EQ(leadingNumber("+7"), 7);
    EXPECT_EQ(leadingNumber("-.5"), -0.5);
    EXPECT_EQ(leadingNumber(".25"), 0.25);
    EXPECT_EQ(leadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(leadingNumber("1,234"), 1);  // no thousands separators
    EXPECT_EQ(leadingNumber("3."), 3);
}

TEST(LeadingNumber, WhitespaceInsideIsIgnored) {
    EXPECT_EQ(leadingNumber("1 234"), 1234);
    EXPECT_EQ(leadingNumber("\t- 4 2 . 5\n"), -42.5);
    EXPECT_EQ(leadingNumber(" 1 e 3"), 1000);
}

TEST(LeadingNumber, ExponentNeedsDigits) {
    EXPECT_EQ(leadingNumber("1e5"), 1e5);
    EXPECT_EQ(leadingNumber("2.5E-2"), 0.025);
    EXPECT_EQ(leadingNumber("+03"), 3);
    EXPECT_EQ(leadingNumber("-02"), -2);
    EXPECT_EQ(leadingNumber("1e"), 1);
    EXPECT_EQ(leadingNumber("1e+"), 1);
    EXPECT_EQ(leadingNumber("7E+x"), 7);
}

TEST(LeadingNumber, HexAndOctalPrefixesAreNonNegativeIntegers) {
    EXPECT_EQ(leadingNumber("&H1F"), 31);
    EXPECT_EQ(leadingNumber("&hff"), 255);
    EXPECT_EQ(leadingNumber("&O17"), 15);
    EXPECT_EQ(leadingNumber("&O19"), 1);
    EXPECT_EQ(leadingNumber("&HFFFFFFFF"), 4294967295.0);
    EXPECT_EQ(leadingNumber("&X12"), 0);
    EXPECT_EQ(leadingNumber("&H"), 0);
}

TEST(LeadingNumber, OutOfRangeValues) {
    EXPECT_EQ(leadingNumber("1e-999"), 0);
    EXPECT_THROW(leadingNumber("1e999"), ombrix::OmbrixError);
    const std::string longDigits(300, '1');
    EXPECT_NEAR(leadingNumber(longDigits) / 1.1111111111111111e299, 1.0, 1e-15);
}

TEST(LeadingNumber, OutOfRangeIsDecidedByTheSizeOfTheNumberNotTheSignOfItsExponent) {
    // 400 digits times 10^-10 is about 1e389: too large, although the exponent is negative.
    EXPECT_THROW(leadingNumber(std::string(400, '1') + "e-10"), ombrix::OmbrixError);
    // A point followed by 400 zeros and a one is about 1e-401: too small, read as 0.
    EXPECT_EQ(leadingNumber("0." + std::string(400, '0') + "1"), 0);
    EXPECT_EQ(leadingNumber("-." + std::string(400, '0') + "1e5"), 0);
    // Digits that bring the number back into range are read as usual.
    EXPECT_NEAR(leadingNumber("0." + std::string(300, '0') + "1e305") / 1e4, 1.0, 1e-15);
    EXPECT_THROW(leadingNumber("1e99999999999999999999999"), ombrix::OmbrixError);
    EXPECT_EQ(leadingNumber("1e-99999999999999999999999"), 0);
}

TEST(LeadingNumber, HexAndOctalBeyondADoubleThrowLikeDecimals) {
    EXPECT_THROW(leadingNumber("&H" + std::string(300, 'F')), ombrix::OmbrixError);
    EXPECT_THROW(leadingNumber("&O" + std::string(400, '7')), ombrix::OmbrixError);
    EXPECT_EQ(leadingNumber("&H" + std::string(200, 'F')), 0x1p800);  // 16^200 - 1, rounded
}

TEST(LeadingNumber, TooLargeMessageShowsOnlyTheStartOfALongText) {
    const std::string huge = std::string(100'000, '9');
    try {
        leadingNumber(huge);
        FAIL() << "no exception";
    } catch (const ombrix::OmbrixError& e) {
        EXPECT_EQ(std::string(e.what()), "Number too large: " + std::string(40, '9') + "...");
    }
}
