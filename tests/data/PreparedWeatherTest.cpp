#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <filesystem>

#include "data/Merge.h"
#include "data/PreparedWeather.h"
#include "data/Reader.h"
#include "platform/Dates.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::FakeUi;
using ombrix::test::TempDir;

namespace {

// Two tables hold the same cells, bit for bit (empty cells included).
::testing::AssertionResult sameCells(const Table& a, const Table& b) {
    if (a.lastRow() != b.lastRow() || a.lastCol() != b.lastCol()) {
        return ::testing::AssertionFailure() << "shapes differ";
    }
    for (long r = 0; r <= a.lastRow(); ++r) {
        for (long c = 0; c <= a.lastCol(); ++c) {
            const Cell& x = a.at(r, c);
            const Cell& y = b.at(r, c);
            if (x.isEmpty() != y.isEmpty() || std::bit_cast<std::uint64_t>(x.value()) !=
                                                  std::bit_cast<std::uint64_t>(y.value())) {
                return ::testing::AssertionFailure() << "cell [" << r << ", " << c << "] differs";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// A read from the disk and a replay of the prepared read, into states that start alike.
struct BothReads {
    DataState disk, replay;
    FakeUi diskUi, replayUi;
    std::string diskFailure, replayFailure;

    explicit BothReads(const std::string& path) {
        for (DataState* d : {&disk, &replay}) {
            d->DataTable = Table(2, 2);
            d->DataTable.at(1, 1) = 42.0;
            d->DataRows = 2;
            d->DataCols = 2;
            d->MsgText = "before";
        }
        const PreparedWeather prepared(path);
        try {
            ReadDelimited(disk, diskUi, path);
        } catch (const std::exception& e) {
            diskFailure = e.what();
        }
        try {
            prepared.replayRead(replay, replayUi);
        } catch (const std::exception& e) {
            replayFailure = e.what();
        }
    }

    void expectSame() const {
        EXPECT_TRUE(sameCells(disk.DataTable, replay.DataTable));
        EXPECT_EQ(disk.DataRows, replay.DataRows);
        EXPECT_EQ(disk.DataCols, replay.DataCols);
        EXPECT_EQ(disk.MsgText, replay.MsgText);
        EXPECT_EQ(disk.MissingValue, replay.MissingValue);
        EXPECT_EQ(diskUi.boxes, replayUi.boxes);
        EXPECT_EQ(diskUi.busy, replayUi.busy);
        EXPECT_EQ(diskUi.progressFilled, replayUi.progressFilled);
        EXPECT_EQ(diskFailure, replayFailure);
    }
};

TEST(PreparedWeather, ReplayIsTheReadOfTheFile) {
    TempDir dir;
    const auto path = dir.write("w.wea",
                                "Station\r\nMo Dy Yr T\r\n1 1 2001 30.5\r\n1 2 2001 -99\r\n"
                                "1 3 2001 12.25e1\r\n");
    BothReads both(path.string());
    both.expectSame();
    EXPECT_EQ(both.replay.DataRows, 3);
    EXPECT_EQ(both.replay.DataTable(3, 4), 122.5);
    EXPECT_EQ(both.replay.MsgText, "before");  // a read without a message leaves it
}

TEST(PreparedWeather, ReplayShowsTheReadersColumnMessage) {
    TempDir dir;
    const auto path = dir.write("w.wea", "1,1,2001,30\r\n1,2,2001,31,9\r\n1,3,2001,32\r\n");
    BothReads both(path.string());
    both.expectSame();
    ASSERT_EQ(both.replayUi.boxes.size(), 1U);
    EXPECT_EQ(both.replayUi.boxes[0].text.rfind("Incorrect number of columns in line 2 of ", 0),
              0U);
    EXPECT_TRUE(both.replay.DataTable.at(2, 1).isEmpty());
}

TEST(PreparedWeather, ReplayFailsAsTheReadFailsAndKeepsTheTable) {
    TempDir dir;
    BothReads both((dir.path() / "none.wea").string());
    both.expectSame();
    EXPECT_EQ(both.replayFailure, "File not found: " + (dir.path() / "none.wea").string());
    EXPECT_EQ(both.replay.DataTable(1, 1), 42.0);
    EXPECT_EQ(both.replay.DataRows, 2);
}

TEST(PreparedWeather, ReplayNeedsTheFileNoMore) {
    TempDir dir;
    const auto path = dir.write("w.wea", "1,1,2001,30\r\n1,2,2001,31\r\n");
    const PreparedWeather prepared(path.string());
    std::filesystem::remove(path);
    DataState d;
    FakeUi ui;
    prepared.replayRead(d, ui);
    EXPECT_EQ(d.DataRows, 2);
    EXPECT_EQ(prepared.days().rows(), 2);
    EXPECT_EQ(prepared.days().failRow(), 3);
}

// Bills of 2001 and a weather table, merged with days worked out by the merge and beforehand.
struct TwoMerges {
    DataState own, dated;
    FakeUi ownUi, datedUi;

    explicit TwoMerges(const std::vector<std::array<double, 4>>& days) {
        for (DataState* d : {&own, &dated}) {
            d->EnergyData = Table(3, 8);
            const double readings[4][3] = {
                {1, 10, 2001}, {1, 20, 2001}, {2, 5, 2001}, {3, 1, 2001}};
            for (long r = 0; r <= 3; ++r) {
                for (long c = 1; c <= 3; ++c) {
                    d->EnergyData.at(r, c) = readings[r][c - 1];
                }
                for (long c = 4; c <= 8; ++c) {
                    d->EnergyData.at(r, c) = 1.0;
                }
            }
            d->EnergyLastRow = 3;
            d->WeatherRows = static_cast<long>(days.size());
            d->WeatherData = Table(d->WeatherRows, 4);
            for (long k = 1; k <= d->WeatherRows; ++k) {
                for (long c = 1; c <= 4; ++c) {
                    const double v =
                        days[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(c - 1)];
                    if (v == v) {  // NaN: an empty cell
                        d->WeatherData.at(k, c) = v;
                    }
                }
            }
        }
        DialogExchange dlg;
        MergeEnergyWeather(own, dlg, ownUi);
        const WeatherDays days0(dated.WeatherData, dated.WeatherRows);
        MergeEnergyWeather(dated, dlg, datedUi, &days0);
    }

    void expectSame() const {
        EXPECT_TRUE(sameCells(own.DataTable, dated.DataTable));
        EXPECT_EQ(own.DataRows, dated.DataRows);
        EXPECT_EQ(ownUi.boxes, datedUi.boxes);
    }
};

std::vector<std::array<double, 4>> januaryToMarch() {
    std::vector<std::array<double, 4>> days;
    for (DayNumber n = daysFromCivil(2001, 1, 1); n <= daysFromCivil(2001, 3, 31); ++n) {
        const CivilDate c = civilFromDays(n);
        days.push_back(
            {double(c.month), double(c.day), double(c.year), n % 7 == 0 ? -99.0 : double(n % 50)});
    }
    return days;
}

TEST(MergeWithDays, DaysWorkedOutBeforehandGiveTheSameTable) {
    TwoMerges m(januaryToMarch());
    m.expectSame();
    EXPECT_TRUE(m.dated.ColNames.size() == 13);
    EXPECT_NE(m.dated.DataTable(2, 9), -99.0);
}

TEST(MergeWithDays, FirstUndatedRowFailsTheSameWay) {
    auto days = januaryToMarch();
    days[40] = {2, 30, 2001, 10};  // 10 February: no such date, inside period 3
    TwoMerges m(days);
    m.expectSame();
    ASSERT_EQ(m.datedUi.boxes.size(), 1U);
    EXPECT_EQ(m.datedUi.boxes[0].text, "\"Invalid date 2/30/2001 in weather row 41\"");
    EXPECT_EQ(m.dated.DataRows, 2);  // the periods merged completely before it
}

TEST(MergeWithDays, DaysOfAnotherTableAreNotUsed) {
    TwoMerges reference(januaryToMarch());
    // Days worked out for a shorter table do not fit this one; the merge works out its own.
    DataState shorter = reference.dated;
    const WeatherDays wrong(shorter.WeatherData, 10);
    FakeUi ui;
    DialogExchange dlg;
    MergeEnergyWeather(shorter, dlg, ui, &wrong);
    EXPECT_TRUE(sameCells(shorter.DataTable, reference.own.DataTable));
}

}  // namespace
