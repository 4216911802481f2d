#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "data/Reader.h"
#include "platform/Errors.h"
#include "platform/LeadingNumber.h"
#include "support/Fakes.h"

using ombrix::DataState;
using ombrix::OmbrixError;
using ombrix::ReadDelimited;
using ombrix::Table;
using ombrix::test::Box;
using ombrix::test::FakeUi;
using ombrix::test::TempDir;

namespace {

// Reads content as a file named name and returns the state it leaves.
struct ReadResult {
    DataState d;
    FakeUi ui;
    std::string path;
};

void read(ReadResult& r, const TempDir& dir, const std::string& content,
          const std::string& name = "data.txt") {
    r.path = dir.write(name, content).string();
    ReadDelimited(r.d, r.ui, r.path);
}

std::vector<double> row(const DataState& d, long r) {
    std::vector<double> out;
    for (long c = 1; c <= d.DataTable.lastCol(); ++c) {
        out.push_back(d.DataTable(r, c));
    }
    return out;
}

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

}  // namespace

TEST(Reader, HeadingsAreSkippedAndRunsOfSpacesSeparate) {
    TempDir dir;
    ReadResult r;
    read(r, dir,
         "Building 12 utility history\r\n"
         "Mo Dy Yr  kWh\r\n"
         "\r\n"
         "1 15 2001    1200.5\r\n"
         "  2   14 2001 1100  \r\n");
    EXPECT_EQ(r.d.DataRows, 2);
    EXPECT_EQ(r.d.DataCols, 4);
    EXPECT_EQ(r.d.DataTable.lastRow(), 2);
    EXPECT_EQ(r.d.DataTable.lastCol(), 4);
    EXPECT_EQ(row(r.d, 1), (std::vector<double>{1, 15, 2001, 1200.5}));
    EXPECT_EQ(row(r.d, 2), (std::vector<double>{2, 14, 2001, 1100}));
    EXPECT_TRUE(r.d.DataTable.at(0, 1).isEmpty());  // row 0 and column 0 stay empty
    EXPECT_TRUE(r.d.DataTable.at(1, 0).isEmpty());
    EXPECT_TRUE(r.ui.boxes.empty());
}

TEST(Reader, TrailingCommaAddsNoColumn) {
    TempDir dir;
    ReadResult plain;
    read(plain, dir, "1,2,3\r\n4,5,6\r\n", "a.txt");
    ReadResult trailing;
    read(trailing, dir, "1,2,3,\r\n4,5,6,\r\n", "b.txt");
    for (const ReadResult* r : {&plain, &trailing}) {
        EXPECT_EQ(r->d.DataCols, 3);
        EXPECT_EQ(row(r->d, 2), (std::vector<double>{4, 5, 6}));
        EXPECT_TRUE(r->ui.boxes.empty());
    }
}

TEST(Reader, CommaInFirstDataLineWinsOverTabs) {
    TempDir dir;
    ReadResult r;
    read(r, dir, "1\t2,5\t3\r\n7\t8\t9\r\n");
    // Split at the comma: "1\t2" (tabs are ignored inside a number) and "5\t3".
    EXPECT_EQ(r.d.DataCols, 2);
    EXPECT_EQ(row(r.d, 1), (std::vector<double>{12, 53}));
    EXPECT_EQ(row(r.d, 2), (std::vector<double>{789, 0}));
}

TEST(Reader, TabSeparatedFile) {
    TempDir dir;
    ReadResult r;
    read(r, dir, "Mo\tDy\tYr\tT\n1\t1\t2001\t31.5\n1\t2\t2001\t-99\n");
    EXPECT_EQ(r.d.DataCols, 4);
    EXPECT_EQ(row(r.d, 2), (std::vector<double>{1, 2, 2001, -99}));
}

TEST(Reader, OneFieldTooManyStopsWithTheMessageAndKeepsEarlierRows) {
    TempDir dir;
    ReadResult r;
    read(r, dir,
         "heading\r\n"
         "1,2,3\r\n"
         "-note between data lines\r\n"
         "4,5,6\r\n"
         "7,8,9,10\r\n"
         "11,12,13\r\n",
         "Bldg.utl");
    ASSERT_EQ(r.ui.boxes.size(), 1u);
    const std::string expected = "Incorrect number of columns in line 3 of " + upper(r.path) + ".";
    EXPECT_EQ(r.ui.boxes[0], (Box{"Error", expected}));
    EXPECT_EQ(r.d.MsgText, expected);
    EXPECT_FALSE(r.ui.busy);
    // The counts keep the first pass's values; the failing row and those after it are empty.
    EXPECT_EQ(r.d.DataRows, 4);
    EXPECT_EQ(r.d.DataCols, 3);
    EXPECT_EQ(row(r.d, 1), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(row(r.d, 2), (std::vector<double>{4, 5, 6}));
    for (long rr = 3; rr <= 4; ++rr) {
        for (long c = 1; c <= 3; ++c) {
            EXPECT_TRUE(r.d.DataTable.at(rr, c).isEmpty()) << rr << "," << c;
        }
    }
}

TEST(Reader, ShortLinesLeaveCellsEmpty) {
    TempDir dir;
    ReadResult r;
    read(r, dir, "1 2 3 4\n5 6\n");
    EXPECT_TRUE(r.ui.boxes.empty());
    EXPECT_EQ(r.d.DataTable(2, 2), 6);
    EXPECT_TRUE(r.d.DataTable.at(2, 3).isEmpty());
    EXPECT_TRUE(r.d.DataTable.at(2, 4).isEmpty());
}

TEST(Reader, LinesStartingWithSignOrPointAreNotData) {
    TempDir dir;
    ReadResult r;
    read(r, dir, "-5,1\r\n.5,2\r\n+3,3\r\n  7,4\r\n\t8,5\r\n");
    // Only "  7,4" starts with a digit once spaces are trimmed (a tab is not trimmed).
    EXPECT_EQ(r.d.DataRows, 1);
    EXPECT_EQ(row(r.d, 1), (std::vector<double>{7, 4}));
}

TEST(Reader, FieldsReadByTheLeadingNumberRule) {
    TempDir dir;
    ReadResult r;
    read(r, dir, "1,12.5abc,abc, 1 234 ,-2.5e1,&H1F,1e\r\n");
    EXPECT_EQ(row(r.d, 1), (std::vector<double>{1, 12.5, 0, 1234, -25, 31, 1}));
}

TEST(Reader, EmptyFieldsShiftLaterColumnsLeft) {
    TempDir dir;
    ReadResult comma;
    read(comma, dir, "1,2,3,4\r\n5,,7,8\r\n", "c.txt");
    // The doubled comma adds no column; the next field starts at the second comma and reads 0.
    EXPECT_EQ(row(comma.d, 2), (std::vector<double>{5, 0, 8, 0}));
    EXPECT_TRUE(comma.d.DataTable.at(2, 4).isEmpty());

    ReadResult tab;
    read(tab, dir, "1\t2\t3\t4\r\n5\t\t7\t8\r\n", "t.txt");
    // After a tab the skipped tab is ignored by the number rule, so the value reads normally.
    EXPECT_EQ(row(tab.d, 2), (std::vector<double>{5, 7, 8, 0}));
}

TEST(Reader, LineEndsOfEveryKindAndAByteOrderMark) {
    TempDir dir;
    const std::vector<std::string> contents = {
        "1,2\r\n3,4\r\n",
        "1,2\n3,4\n",
        "1,2\r3,4\r",
        "1,2\r\n3,4",  // no end on the last line
        "\xEF\xBB\xBF"
        "1,2\r\n3,4\r\n",  // the mark would otherwise hide the first data line
        "\xEF\xBB\xBFhead\n1,2\n\n\r\n3,4\n",
    };
    int n = 0;
    for (const auto& content : contents) {
        ReadResult r;
        read(r, dir, content, "f" + std::to_string(n++) + ".txt");
        EXPECT_EQ(r.d.DataRows, 2) << n;
        EXPECT_EQ(r.d.DataCols, 2) << n;
        EXPECT_EQ(row(r.d, 1), (std::vector<double>{1, 2})) << n;
        EXPECT_EQ(row(r.d, 2), (std::vector<double>{3, 4})) << n;
    }
}

TEST(Reader, FileWithoutDataLinesGivesAnEmptyTable) {
    TempDir dir;
    ReadResult r;
    r.d.DataRows = 12;
    r.d.MissingValue = 5;
    read(r, dir, "title only\r\n\r\n-1,2\r\n");
    EXPECT_EQ(r.d.DataRows, 0);
    EXPECT_EQ(r.d.DataCols, 0);
    EXPECT_EQ(r.d.DataTable.lastRow(), 0);
    EXPECT_EQ(r.d.DataTable.lastCol(), 0);
    EXPECT_EQ(r.d.MissingValue, -99);
}

TEST(Reader, ProgressFillsHalfTheBarOneLineAtATime) {
    TempDir dir;
    ReadResult r;
    read(r, dir, "1\n2\n3\n4\n");
    EXPECT_EQ(r.ui.paints, (std::vector<double>{0.125, 0.25, 0.375, 0.5}));
}

TEST(Reader, UnreadableFilesFailWithClearDescriptionsAndChangeNothing) {
    TempDir dir;
    DataState d;
    d.DataTable = Table(2, 2);
    d.DataRows = 2;
    d.DataCols = 2;
    FakeUi ui;
    const std::string missing = (dir.path() / "nope.utl").string();
    try {
        ReadDelimited(d, ui, missing);
        FAIL() << "no exception";
    } catch (const OmbrixError& e) {
        EXPECT_EQ(std::string(e.what()), "File not found: " + missing);
    }
    try {
        ReadDelimited(d, ui, dir.path().string());
        FAIL() << "no exception";
    } catch (const OmbrixError& e) {
        EXPECT_EQ(std::string(e.what()), "Not a file: " + dir.path().string());
    }
    EXPECT_EQ(d.DataRows, 2);
    EXPECT_EQ(d.DataTable.lastRow(), 2);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(Reader, UnreadableForPermissionFails) {
    TempDir dir;
    const auto p = dir.write("locked.wea", "1,1,2001,30\n");
    std::filesystem::permissions(p, std::filesystem::perms::none);
    if (std::FILE* f = std::fopen(p.string().c_str(), "rb")) {  // running as a superuser
        std::fclose(f);
        GTEST_SKIP() << "permissions are not enforced for this user";
    }
    DataState d;
    FakeUi ui;
    try {
        ReadDelimited(d, ui, p.string());
        FAIL() << "no exception";
    } catch (const OmbrixError& e) {
        EXPECT_EQ(std::string(e.what()), "Permission denied: " + p.string());
    }
}

TEST(Reader, AbsurdFirstLineFailsAsTooLargeInsteadOfExhaustingMemory) {
    TempDir dir;
    std::string content;
    for (int i = 0; i < 3'000'000; ++i) {
        content += "1,";
    }
    content += "\n";
    for (int i = 0; i < 100; ++i) {
        content += "1\n";
    }
    DataState d;
    d.DataRows = 7;
    FakeUi ui;
    const auto p = dir.write("wide.txt", content);
    try {
        ReadDelimited(d, ui, p.string());
        FAIL() << "no exception";
    } catch (const OmbrixError& e) {
        EXPECT_EQ(std::string(e.what()), "Table too large: 101 rows by 3000000 columns");
    }
    EXPECT_EQ(d.DataRows, 7);
}

TEST(Reader, SeparatorAndColumnCountRules) {
    using ombrix::columnCount;
    using ombrix::separatorOf;
    EXPECT_EQ(separatorOf("1 2\t3,4"), ',');
    EXPECT_EQ(separatorOf("1 2\t3"), '\t');
    EXPECT_EQ(separatorOf("1 2 3"), ' ');
    EXPECT_EQ(columnCount("1,2,3", ','), 3);
    EXPECT_EQ(columnCount("1,2,3,", ','), 3);
    EXPECT_EQ(columnCount("1,,3", ','), 3);  // the empty field counts on the first line
    EXPECT_EQ(columnCount("1,2,3,,", ','), 4);
    EXPECT_EQ(columnCount("1", ','), 1);
    EXPECT_EQ(columnCount("1   2 3", ' '), 3);
    EXPECT_EQ(columnCount("1\t\t3", '\t'), 3);
}

TEST(Reader, PlainDecimalsReadExactlyAsTheGeneralRule) {
    // Fields of every plain shape (signs, points, up to 18 digits, -0) and some that are not
    // plain, each compared bit for bit with the leading-number rule.
    std::mt19937 rng(11);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    std::vector<std::string> fields;
    for (int i = 0; i < 20000; ++i) {
        std::string f;
        const int sign = pick(4);
        if (sign == 1) {
            f += '-';
        } else if (sign == 2) {
            f += '+';
        }
        const int digits = 1 + pick(18);
        const int point = pick(digits + 2);
        for (int k = 0; k < digits; ++k) {
            if (k == point) {
                f += '.';
            }
            f += static_cast<char>('0' + pick(10));
        }
        if (pick(10) == 0) {
            f += pick(2) == 0 ? "e-3" : "x";
        }
        fields.push_back(f);
    }
    fields.insert(fields.end(), {"-0", "0.", "-.5", "+.", "9007199254740993", "0.1", "1.5."});
    std::string content;
    for (const auto& f : fields) {
        content += "1," + f + "\n";
    }
    TempDir dir;
    ReadResult r;
    read(r, dir, content);
    ASSERT_EQ(r.d.DataRows, static_cast<long>(fields.size()));
    for (long i = 1; i <= r.d.DataRows; ++i) {
        const std::string& f = fields[static_cast<std::size_t>(i - 1)];
        const double got = r.d.DataTable(i, 2);
        const double want = ombrix::leadingNumber(f);
        ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0) << f << ": " << got << " vs " << want;
    }
}

TEST(Reader, FuzzCorpusReadsToConsistentTables) {
    // Inputs the fuzzer found interesting: each reads, or fails with a description, and leaves a
    // table that matches its counts.
    const auto corpus = ombrix::test::sourceDir() / "fuzz" / "corpus" / "reader";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        DataState d;
        FakeUi ui;
        try {
            ReadDelimited(d, ui, entry.path().string());
        } catch (const OmbrixError&) {
        }
        EXPECT_EQ(d.DataTable.allocated() ? d.DataTable.lastRow() : 0, d.DataRows) << entry.path();
        EXPECT_EQ(d.DataTable.allocated() ? d.DataTable.lastCol() : 0, d.DataCols) << entry.path();
        EXPECT_LE(ui.boxes.size(), 1u);
        ++files;
    }
    EXPECT_GE(files, 10);
}
