#include <gtest/gtest.h>

#include <cmath>
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
using ombrix::test::Box;
using ombrix::test::FakeUi;
using ombrix::test::TempDir;

namespace {

constexpr double E = NAN;  // an empty cell in the expected tables below

struct Read {
    TempDir dir;
    DataState d;
    FakeUi ui;
    std::string path;
    explicit Read(const std::string& content, const std::string& name = "data.txt") {
        path = dir.write(name, content).string();
        ReadDelimited(d, ui, path);
    }
    // Rows 1..DataRows, columns 1..DataCols, NaN for an empty cell.
    std::vector<std::vector<double>> table() const {
        std::vector<std::vector<double>> out;
        for (long r = 1; r <= d.DataRows; ++r) {
            out.emplace_back();
            for (long c = 1; c <= d.DataCols; ++c) {
                const auto& cell = d.DataTable.at(r, c);
                out.back().push_back(cell.isEmpty() ? E : cell.value());
            }
        }
        return out;
    }
};

std::string upper(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

int openDescriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
        ++n;
    }
    return n;
}

void expectTable(const std::vector<std::vector<double>>& got,
                 const std::vector<std::vector<double>>& want, const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t r = 0; r < got.size(); ++r) {
        ASSERT_EQ(got[r].size(), want[r].size()) << what << " row " << r + 1;
        for (std::size_t c = 0; c < got[r].size(); ++c) {
            if (std::isnan(want[r][c])) {
                EXPECT_TRUE(std::isnan(got[r][c])) << what << " [" << r + 1 << "," << c + 1 << "]";
            } else {
                EXPECT_EQ(got[r][c], want[r][c]) << what << " [" << r + 1 << "," << c + 1 << "]";
            }
        }
    }
}

}  // namespace

TEST(Reader, SeparatorColumnsAndFieldsFollowTheFirstDataLine) {
    struct Case {
        std::string what, content;
        std::vector<std::vector<double>> want;
    };
    const std::vector<Case> cases = {
        {"headings, then runs of spaces",
         "Building 12\r\nMo Dy Yr  kWh\r\n\r\n1 15 2001    1200.5\r\n  2   14 2001 1100  \r\n",
         {{1, 15, 2001, 1200.5}, {2, 14, 2001, 1100}}},
        {"trailing comma adds no column", "1,2,3,\r\n4,5,6,\r\n", {{1, 2, 3}, {4, 5, 6}}},
        // The comma wins; the tab inside "1\t2" is ignored by the number rule.
        {"comma in a tab file's first data line", "1\t2,5\t3\r\n7\t8\t9\r\n", {{12, 53}, {789, E}}},
        {"signs, points and tabs do not start data",
         "-5,1\r\n.5,2\r\n+3,3\r\n  7,4\r\n\t8,5\r\n",
         {{7, 4}}},
        {"leading-number rule",
         "1,12.5abc,abc, 1 234 ,-2.5e1,&H1F,1e\r\n",
         {{1, 12.5, 0, 1234, -25, 31, 1}}},
        // A doubled comma adds no column and the next field starts at it, reading 0; after a
        // doubled tab the tab is ignored and the value reads normally.
        {"empty comma field", "1,2,3,4\r\n5,,7,8\r\n", {{1, 2, 3, 4}, {5, 0, 8, E}}},
        {"empty tab field", "1\t2\t3\t4\r\n5\t\t7\t8\r\n", {{1, 2, 3, 4}, {5, 7, 8, E}}},
        {"short line", "1 2 3 4\n5 6\n", {{1, 2, 3, 4}, {5, 6, E, E}}},
        {"empty field counts on the first line", "1,,3\n4,5,6\n", {{1, 0, E}, {4, 5, 6}}},
    };
    for (const Case& c : cases) {
        Read r(c.content);
        EXPECT_TRUE(r.ui.boxes.empty()) << c.what;
        expectTable(r.table(), c.want, c.what);
        EXPECT_TRUE(r.d.DataTable.at(0, 1).isEmpty()) << c.what;  // row 0 and column 0 unused
        EXPECT_TRUE(r.d.DataTable.at(1, 0).isEmpty()) << c.what;
    }
}

TEST(Reader, OneFieldTooManyStopsWithTheMessageAndKeepsEarlierRows) {
    Read r("heading\r\n1,2,3\r\n-note\r\n4,5,6\r\n7,8,9,10\r\n11,12,13\r\n", "Bldg.utl");
    const std::string text = "Incorrect number of columns in line 3 of " + upper(r.path) + ".";
    EXPECT_EQ(r.ui.boxes, (std::vector<Box>{{"Error", text}}));
    EXPECT_EQ(r.d.MsgText, text);
    EXPECT_FALSE(r.ui.busy);
    // The counts keep the first pass's values; the failing row and those after it are empty.
    expectTable(r.table(), {{1, 2, 3}, {4, 5, 6}, {E, E, E}, {E, E, E}}, "too many");
}

TEST(Reader, LineEndsOfEveryKindAndAByteOrderMark) {
    for (const std::string content : {"1,2\r\n3,4\r\n", "1,2\n3,4\n", "1,2\r3,4\r", "1,2\r\n3,4",
                                      "\xEF\xBB\xBF"
                                      "1,2\r\n3,4\r\n",
                                      "\xEF\xBB\xBFhead\n1,2\n\n\r\n3,4\n"}) {
        Read r(content);
        expectTable(r.table(), {{1, 2}, {3, 4}}, content);
    }
}

TEST(Reader, FileWithoutDataLinesGivesAnEmptyTable) {
    TempDir dir;
    DataState d;
    d.DataRows = 12;
    d.MissingValue = 5;
    FakeUi ui;
    ReadDelimited(d, ui, dir.write("t.txt", "title only\r\n\r\n-1,2\r\n").string());
    EXPECT_EQ(d.DataRows, 0);
    EXPECT_EQ(d.DataCols, 0);
    EXPECT_EQ(d.DataTable.lastRow(), 0);
    EXPECT_EQ(d.DataTable.lastCol(), 0);
    EXPECT_EQ(d.MissingValue, -99);
}

TEST(Reader, ProgressFillsHalfTheBarOneLineAtATime) {
    Read r("1\n2\n3\n4\n");
    EXPECT_EQ(r.ui.paints, (std::vector<double>{0.125, 0.25, 0.375, 0.5}));
}

TEST(Reader, FailuresAreDescribedAndChangeNothing) {
    TempDir dir;
    DataState d;
    d.DataTable = ombrix::Table(2, 2);
    d.DataRows = 2;
    FakeUi ui;
    std::string wide;
    for (int i = 0; i < 3'000'000; ++i) {
        wide += "1,";
    }
    for (int i = 0; i < 100; ++i) {
        wide += "\n1";
    }
    const std::string missing = (dir.path() / "nope.utl").string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {missing, "File not found: " + missing},
        {dir.path().string(), "Not a file: " + dir.path().string()},
        // An absurd first line fails by its size instead of exhausting memory.
        {dir.write("wide.txt", wide).string(), "Table too large: 101 rows by 3000000 columns"},
    };
    for (const auto& [path, text] : cases) {
        try {
            ReadDelimited(d, ui, path);
            ADD_FAILURE() << "no exception for " << path;
        } catch (const OmbrixError& e) {
            EXPECT_EQ(std::string(e.what()), text);
        }
        EXPECT_EQ(d.DataRows, 2);
        EXPECT_EQ(d.DataTable.lastRow(), 2);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(Reader, ClosesTheFileOnEveryPath) {
    TempDir dir;
    const int before = openDescriptors();
    DataState d;
    FakeUi ui;
    ReadDelimited(d, ui, dir.write("ok.txt", "1,2\n").string());
    ReadDelimited(d, ui, dir.write("long.txt", "1,2\n3,4,5\n").string());
    EXPECT_THROW(ReadDelimited(d, ui, dir.write("big.txt", "1,1e999\n").string()), OmbrixError);
    EXPECT_EQ(openDescriptors(), before);
}

TEST(Reader, PlainDecimalsReadExactlyAsTheGeneralRule) {
    // Fields of every plain shape (signs, points, up to 18 digits) and some that are not plain,
    // each compared bit for bit with the leading-number rule.
    std::mt19937 rng(11);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    std::vector<std::string> fields = {"-0", "0.", "-.5", "+.", "9007199254740993", "1.5."};
    for (int i = 0; i < 20000; ++i) {
        std::string f = std::string("\0-+", 3).substr(static_cast<std::size_t>(pick(3)), 1);
        f.erase(0, f[0] == '\0' ? 1 : 0);
        const int digits = 1 + pick(18);
        const int point = pick(digits + 2);
        for (int k = 0; k < digits; ++k) {
            f += k == point ? "." : "";
            f += static_cast<char>('0' + pick(10));
        }
        f += pick(10) == 0 ? "e-3" : "";
        fields.push_back(f);
    }
    std::string content;
    for (const auto& f : fields) {
        content += "1," + f + "\n";
    }
    Read r(content);
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
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ombrix::test::sourceDir() /
                                                                 "fuzz" / "corpus" / "reader")) {
        DataState d;
        FakeUi ui;
        try {
            ReadDelimited(d, ui, entry.path().string());
        } catch (const OmbrixError&) {
        }
        const bool made = d.DataTable.allocated();
        EXPECT_EQ(made ? d.DataTable.lastRow() : 0, d.DataRows) << entry.path();
        EXPECT_EQ(made ? d.DataTable.lastCol() : 0, d.DataCols) << entry.path();
        EXPECT_LE(ui.boxes.size(), 1u);
        ++files;
    }
    EXPECT_GE(files, 10);
}
