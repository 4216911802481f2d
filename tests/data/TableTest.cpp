#include <gtest/gtest.h>

#include "data/Table.h"
#include "platform/Errors.h"

using ombrix::Cell;
using ombrix::OmbrixError;
using ombrix::Table;

TEST(Cell, EmptyReadsAsZeroAndMissingSurvives) {
    Cell c;
    EXPECT_TRUE(c.isEmpty());
    EXPECT_EQ(c.value(), 0.0);
    c = -99;
    EXPECT_FALSE(c.isEmpty());
    EXPECT_EQ(c.value(), -99.0);
    c = 0.0 / 0.0;  // a NaN from arithmetic is a value, not an empty cell
    EXPECT_FALSE(c.isEmpty());
    c.clear();
    EXPECT_TRUE(c.isEmpty());
}

TEST(Table, BoundsAreInclusiveFromZero) {
    Table t(3, 12);
    EXPECT_EQ(t.lastRow(), 3);
    EXPECT_EQ(t.lastCol(), 12);
    t.at(3, 12) = 5.5;
    EXPECT_EQ(t(3, 12), 5.5);
    EXPECT_TRUE(t.at(0, 0).isEmpty());
    EXPECT_EQ(t(1, 1), 0.0);
}

TEST(Table, OutsideTheBoundsThrowsADescription) {
    Table t(3, 12);
    try {
        t.at(4, 1);
        FAIL() << "no exception";
    } catch (const OmbrixError& e) {
        EXPECT_STREQ(e.what(), "Subscript out of range: [4, 1] outside [0..3, 0..12]");
    }
    EXPECT_THROW(t.at(0, 13), OmbrixError);
    EXPECT_THROW(t.at(-1, 0), OmbrixError);
    EXPECT_THROW(Table().at(0, 0), OmbrixError);
}

TEST(Table, NegativeBoundIsAnInvalidTableSize) {
    try {
        Table t(-1, 8);
        FAIL() << "no exception";
    } catch (const OmbrixError& e) {
        EXPECT_STREQ(e.what(), "Invalid table size [0..-1, 0..8]");
    }
}

TEST(TextList, CheckedCaptions) {
    ombrix::TextList names({"", "Mo", "Dy"});
    EXPECT_EQ(names.at(1), "Mo");
    EXPECT_THROW(names.at(3), OmbrixError);
}
