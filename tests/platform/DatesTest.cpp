#include <gtest/gtest.h>

#include "platform/Dates.h"

using ombrix::dateFromParts;
using ombrix::daysFromCivil;

TEST(Dates, SubtractionCountsWholeDays) {
    const auto a = dateFromParts(1, 15, 2001);
    const auto b = dateFromParts(2, 14, 2001);
    const auto c = dateFromParts(3, 16, 2001);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(*b - *a, 30);
    EXPECT_EQ(*c - *b, 30);
    EXPECT_EQ(*dateFromParts(3, 1, 2000) - *dateFromParts(2, 28, 2000), 2);  // leap year
    EXPECT_EQ(*dateFromParts(3, 1, 1900) - *dateFromParts(2, 28, 1900), 1);  // not a leap year
}

TEST(Dates, TwoDigitYearsPivotAtThirty) {
    EXPECT_EQ(dateFromParts(3, 15, 98), dateFromParts(3, 15, 1998));
    EXPECT_EQ(dateFromParts(3, 15, 29), dateFromParts(3, 15, 2029));
    EXPECT_EQ(dateFromParts(3, 15, 30), dateFromParts(3, 15, 1930));
    EXPECT_EQ(dateFromParts(1, 1, 0), dateFromParts(1, 1, 2000));
    EXPECT_EQ(*dateFromParts(1, 1, 1970), 0);
    EXPECT_EQ(*dateFromParts(1, 1, 100), daysFromCivil(100, 1, 1));
}

TEST(Dates, InvalidPartsFormNoDate) {
    EXPECT_FALSE(dateFromParts(2, 30, 2001));
    EXPECT_FALSE(dateFromParts(2, 29, 2001));
    EXPECT_TRUE(dateFromParts(2, 29, 2004));
    EXPECT_FALSE(dateFromParts(13, 1, 2001));  // never read as day/month
    EXPECT_FALSE(dateFromParts(0, 1, 2001));
    EXPECT_FALSE(dateFromParts(1, 0, 2001));
    EXPECT_FALSE(dateFromParts(1.5, 1, 2001));
    EXPECT_FALSE(dateFromParts(1, 1, -1));
    EXPECT_FALSE(dateFromParts(1, 1, 10000));
    EXPECT_FALSE(dateFromParts(1, 1, 0.0 / 0.0));
}

TEST(Dates, CivilRoundTrip) {
    for (long d = -800000; d < 800000; d += 997) {
        const auto c = ombrix::civilFromDays(d);
        EXPECT_EQ(daysFromCivil(c.year, c.month, c.day), d);
    }
}
