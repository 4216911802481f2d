#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "data/Merge.h"
#include "platform/Dates.h"
#include "platform/Errors.h"
#include "support/Fakes.h"

using ombrix::CivilDate;
using ombrix::DataState;
using ombrix::DayNumber;
using ombrix::DialogExchange;
using ombrix::MergeEnergyWeather;
using ombrix::Table;
using ombrix::test::Box;
using ombrix::test::FakeUi;

namespace {

struct Reading {
    double mo, dy, yr;
    double use = 100, demand = 10, therm = 5, elecFlag = 1, thermFlag = 1;
};

struct Day {
    double mo, dy, yr, temp;
};

void setEnergy(DataState& d, const std::vector<Reading>& readings) {
    const long last = static_cast<long>(readings.size()) - 1;
    d.EnergyData = Table(last, 8);
    d.EnergyLastRow = last;
    d.EnergyCols = 8;
    for (long r = 0; r <= last; ++r) {
        const Reading& x = readings[static_cast<std::size_t>(r)];
        const double v[] = {x.mo, x.dy, x.yr, x.use, x.demand, x.therm, x.elecFlag, x.thermFlag};
        for (long c = 1; c <= 8; ++c) {
            d.EnergyData.at(r, c) = v[c - 1];
        }
    }
    d.EnergyOpen = true;
}

void setWeather(DataState& d, const std::vector<Day>& days) {
    const long n = static_cast<long>(days.size());
    d.WeatherData = Table(n, 4);
    d.WeatherRows = n;
    d.WeatherCols = 4;
    for (long k = 1; k <= n; ++k) {
        const Day& x = days[static_cast<std::size_t>(k - 1)];
        d.WeatherData.at(k, 1) = x.mo;
        d.WeatherData.at(k, 2) = x.dy;
        d.WeatherData.at(k, 3) = x.yr;
        d.WeatherData.at(k, 4) = x.temp;
    }
    d.WeatherOpen = true;
}

// Every day from first to last inclusive, with temperature temp(day number).
template <class F>
std::vector<Day> daily(CivilDate first, CivilDate last, F temp) {
    std::vector<Day> out;
    const DayNumber a = ombrix::daysFromCivil(first.year, first.month, first.day);
    const DayNumber b = ombrix::daysFromCivil(last.year, last.month, last.day);
    for (DayNumber n = a; n <= b; ++n) {
        const CivilDate c = ombrix::civilFromDays(n);
        out.push_back({double(c.month), double(c.day), double(c.year), temp(n)});
    }
    return out;
}

// Day of the year 2001 (1 January is 1).
double dayOf2001(DayNumber n) {
    return static_cast<double>(n - ombrix::daysFromCivil(2000, 12, 31));
}

struct Merged {
    DataState d;
    DialogExchange dlg;
    FakeUi ui;
    void run() { MergeEnergyWeather(d, dlg, ui); }
    double temp(long r) const { return d.DataTable(r, 9); }
};

}  // namespace

TEST(Merge, PeriodExcludesPreviousReadingDay) {
    Merged m;
    setEnergy(m.d, {{1, 15, 2001, 900}, {2, 14, 2001, 1000, 20, 30, 1, 2}, {3, 16, 2001, 1100}});
    setWeather(m.d, daily({2001, 1, 1}, {2001, 12, 31}, dayOf2001));
    m.dlg.DlgPath = "/data/";
    m.dlg.DlgFile = "b.wea";
    m.run();
    ASSERT_TRUE(m.ui.boxes.empty()) << m.ui.boxes[0].text;
    // Period 1: 16 January .. 14 February (days 16..45); period 2: 15 February .. 16 March.
    EXPECT_EQ(m.temp(1), (16.0 + 45.0) / 2);
    EXPECT_EQ(m.temp(2), (46.0 + 75.0) / 2);
    EXPECT_EQ(m.d.DataRows, 2);
    EXPECT_EQ(m.d.DataTable.lastRow(), 2);
    EXPECT_EQ(m.d.DataTable.lastCol(), 12);
    // Row 1 carries the reading that ends it; row 0 repeats the first reading only.
    const double row1[] = {2, 14, 2001, 1000, 20, 30, 1, 2};
    for (long c = 1; c <= 8; ++c) {
        EXPECT_EQ(m.d.DataTable(1, c), row1[c - 1]);
    }
    EXPECT_EQ(m.d.DataTable(0, 4), 900);
    for (long c = 9; c <= 12; ++c) {
        EXPECT_TRUE(m.d.DataTable.at(0, c).isEmpty());
        if (c > 9) {
            EXPECT_EQ(m.d.DataTable(1, c), -99);
            EXPECT_EQ(m.d.DataTable(2, c), -99);
        }
    }
    ASSERT_EQ(m.d.ColNames.size(), 13);
    EXPECT_EQ(m.d.ColNames.at(9), "Avg Temp (F)");
    EXPECT_EQ(m.d.TimeStampKind, 3);
    EXPECT_EQ(m.dlg.DlgPath, "");
    EXPECT_EQ(m.dlg.DlgFile, "");
    EXPECT_EQ(m.ui.captions, (std::vector<std::string>{"Merging Energy and Weather Files..."}));
    EXPECT_FALSE(m.ui.progressVisible);
    EXPECT_FALSE(m.ui.busy);
}

TEST(Merge, PeriodsWithoutDaysKeepMissing) {
    Merged m;
    // 1 December .. 15 January lies before the weather, which starts on 16 January;
    // 16 January .. 14 February has only missing days; two readings on 16 March make an empty
    // period.
    setEnergy(
        m.d,
        {{12, 1, 2000}, {1, 15, 2001}, {2, 14, 2001}, {3, 16, 2001}, {3, 16, 2001}, {4, 15, 2001}});
    setWeather(m.d, daily({2001, 1, 16}, {2001, 12, 31}, [](DayNumber n) {
                   const CivilDate c = ombrix::civilFromDays(n);
                   const bool gap = (c.month == 1 && c.day > 15) || c.month == 2;
                   return gap || (c.month == 3 && c.day % 2 == 0) ? -99.0 : c.day;
               }));
    m.run();
    ASSERT_TRUE(m.ui.boxes.empty()) << m.ui.boxes[0].text;
    EXPECT_EQ(m.temp(1), -99);
    EXPECT_EQ(m.temp(2), -99);
    EXPECT_EQ(m.temp(3), (1.0 + 15.0) / 2);  // only the odd days 1..15 March have a value
    EXPECT_EQ(m.temp(4), -99);
    // 17 March .. 15 April: the odd days 17..31 March and every day 1..15 April.
    EXPECT_EQ(m.temp(5), (17 + 19 + 21 + 23 + 25 + 27 + 29 + 31 + 120) / 23.0);
}

TEST(Merge, AverageIsTheUnroundedQuotient) {
    Merged m;
    setEnergy(m.d, {{1, 1, 2001}, {1, 4, 2001}});
    setWeather(m.d, {{1, 2, 2001, 0.1}, {1, 3, 2001, 0.2}, {1, 4, 2001, 0.4}});
    m.run();
    EXPECT_EQ(m.temp(1), (0.1 + 0.2 + 0.4) / 3);
}

TEST(Merge, InvalidWeatherDateFailsWithItsRowAndKeepsAConsistentTable) {
    Merged m;
    setEnergy(m.d, {{1, 15, 2001}, {2, 14, 2001}, {3, 16, 2001}, {4, 15, 2001}});
    auto days = daily({2001, 1, 1}, {2001, 12, 31}, dayOf2001);
    days[58] = {2, 30, 2001, 12};  // weather row 59 would be 28 February
    setWeather(m.d, days);
    // What the working table held before: a larger file as read with its own captions.
    m.d.DataTable = Table(365, 4);
    m.d.DataRows = 365;
    m.d.ColNames = ombrix::TextList({"", "Mo", "Dy", "Yr", "Avg Daily Temp (F)"});
    m.dlg.DlgFile = "b.wea";
    m.run();
    const std::string text = "\"Invalid date 2/30/2001 in weather row 59\"";
    EXPECT_EQ(m.ui.boxes, (std::vector<Box>{{"Error", text}}));
    EXPECT_EQ(m.d.MsgText, text);
    // Period 1 is complete; the failing period 2 keeps -99 and is not counted.
    EXPECT_EQ(m.d.DataRows, 1);
    EXPECT_LE(m.d.DataRows, m.d.DataTable.lastRow());
    EXPECT_EQ(m.temp(1), 30.5);
    EXPECT_EQ(m.d.DataTable(2, 4), 100);  // the failing period's reading was copied
    EXPECT_EQ(m.temp(2), -99);
    EXPECT_TRUE(m.d.DataTable.at(3, 1).isEmpty());
    EXPECT_EQ(m.temp(3), -99);
    EXPECT_EQ(m.d.ColNames.size(), 13);
    EXPECT_EQ(m.dlg.DlgFile, "b.wea");  // cleared only by a merge that completes
    EXPECT_FALSE(m.ui.progressVisible);
    EXPECT_FALSE(m.ui.busy);
}

TEST(Merge, DatesFailOnlyWhenTheScanReachesThem) {
    auto days = daily({2001, 1, 1}, {2001, 3, 31}, dayOf2001);
    days.push_back({13, 1, 2001, 5});  // past every period: never examined
    Merged unreached;
    setEnergy(unreached.d, {{1, 15, 2001}, {2, 14, 2001}});
    setWeather(unreached.d, days);
    unreached.run();
    EXPECT_TRUE(unreached.ui.boxes.empty());

    Merged emptyYear;  // an empty year is not 2000
    setEnergy(emptyYear.d, {{1, 1, 2001}, {2, 1, 2001}});
    setWeather(emptyYear.d, days);
    emptyYear.d.WeatherData.at(2, 3).clear();

    Merged noDate;
    setEnergy(noDate.d, {{1, 1, 2001}, {2, 1, 2001}});
    noDate.d.WeatherData = Table(3, 4);
    noDate.d.WeatherRows = 3;

    Merged energy;
    setEnergy(energy.d, {{1, 15, 2001}, {2, 14, 2001}, {13, 16, 2001}});
    setWeather(energy.d, days);

    Merged narrow;  // checked when the first weather row is examined
    setEnergy(narrow.d, {{1, 15, 2001}, {2, 14, 2001}});
    narrow.d.WeatherData = Table(3, 3);
    narrow.d.WeatherRows = 3;
    for (long k = 1; k <= 3; ++k) {
        narrow.d.WeatherData.at(k, 1) = 1;
        narrow.d.WeatherData.at(k, 2) = static_cast<double>(k);
        narrow.d.WeatherData.at(k, 3) = 2001;
    }

    Merged fewEnergyColumns;
    fewEnergyColumns.d.EnergyData = Table(2, 7);
    fewEnergyColumns.d.EnergyLastRow = 2;
    setWeather(fewEnergyColumns.d, days);

    const std::vector<std::tuple<Merged*, std::string, long>> cases = {
        {&emptyYear, "Invalid date 1/2/ in weather row 2", 0},
        {&noDate, "No date in weather row 1", 0},
        {&energy, "Invalid date 13/16/2001 in energy row 3", 1},
        {&narrow, "The weather file has 3 columns; 4 are needed to merge it with energy data", 0},
        {&fewEnergyColumns, "The energy file has 7 columns; 8 are needed to merge it with weather",
         0},
    };
    for (const auto& [m, text, periods] : cases) {
        m->d.DataRows = 50;
        m->run();
        EXPECT_EQ(m->ui.boxes, (std::vector<Box>{{"Error", "\"" + text + "\""}}));
        EXPECT_EQ(m->d.DataRows, periods) << text;
        EXPECT_LE(m->d.DataRows, m->d.DataTable.lastRow()) << text;
    }
}

// The scan exactly as the merge is defined, one day at a time: the reference for the merge.
namespace {

struct Reference {
    std::vector<double> temps;  // column 9 of rows 0..N
    std::string error;
    long failedPeriod = 0;
    long examined = 0;
};

Reference scan(const DataState& d) {
    Reference ref;
    const long n = d.EnergyLastRow;
    ref.temps.assign(static_cast<std::size_t>(n + 1), -99);
    long s = 1;
    long i = 1;
    try {
        for (; i <= n; ++i) {
            auto date = [&](const Table& t, long r, const char* what, long shown) {
                const auto day = ombrix::rowDate(t, r);
                if (!day) {
                    ombrix::throwInvalidDate(t, r, what, shown);
                }
                return *day;
            };
            const DayNumber a = date(d.EnergyData, i - 1, "energy", i);
            const DayNumber b = date(d.EnergyData, i, "energy", i + 1);
            double c = 0;
            double t = 0;
            for (long k = s; k <= d.WeatherRows; ++k) {
                const DayNumber day = date(d.WeatherData, k, "weather", k);
                const double temp = d.WeatherData(k, 4);
                if (day > a && day <= b && temp != -99) {
                    c += 1;
                    t += temp;
                    ref.temps[static_cast<std::size_t>(i)] = t / c;
                    s = k;
                }
                ++ref.examined;
                if (day > b) {
                    break;
                }
            }
        }
    } catch (const std::exception& e) {
        ref.error = e.what();
        ref.failedPeriod = i;
    }
    return ref;
}

}  // namespace

TEST(Merge, AgreesWithTheDayByDayScanOnRandomData) {
    std::mt19937 rng(20240611);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int failures = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        Merged m;
        // Weather: mostly ascending days with gaps, repeats, steps back and missing values.
        std::vector<Day> days;
        DayNumber day = ombrix::daysFromCivil(2000, 1, 1) + uniform(0, 60);
        const int nDays = uniform(0, 200);
        for (int k = 0; k < nDays; ++k) {
            const int step = uniform(0, 99);
            day += step < 80 ? 1 : step < 88 ? uniform(2, 20) : step < 93 ? 0 : -uniform(1, 30);
            const CivilDate c = ombrix::civilFromDays(day);
            const double temp = uniform(0, 9) == 0 ? -99 : uniform(-200, 900) / 10.0;
            days.push_back({double(c.month), double(c.day), double(c.year), temp});
        }
        if (!days.empty() && uniform(0, 9) == 0) {
            days[static_cast<std::size_t>(uniform(0, nDays - 1))].mo = 13;
        }
        setWeather(m.d, days);
        // Readings: ascending with gaps of 0..60 days, some steps back, rarely an invalid one.
        std::vector<Reading> readings;
        DayNumber r = ombrix::daysFromCivil(2000, 1, 1) + uniform(-30, 90);
        const int nReadings = uniform(1, 12);
        for (int k = 0; k < nReadings; ++k) {
            const CivilDate c = ombrix::civilFromDays(r);
            readings.push_back({double(c.month), double(c.day), double(c.year)});
            r += uniform(0, 9) == 0 ? -uniform(1, 40) : uniform(0, 60);
        }
        if (uniform(0, 29) == 0) {
            readings[static_cast<std::size_t>(uniform(0, nReadings - 1))].dy = 32;
        }
        setEnergy(m.d, readings);

        const Reference ref = scan(m.d);
        m.run();
        const long n = m.d.EnergyLastRow;
        if (ref.error.empty()) {
            ASSERT_TRUE(m.ui.boxes.empty()) << trial << ": " << m.ui.boxes[0].text;
            ASSERT_EQ(m.d.DataRows, n) << trial;
            for (long i = 1; i <= n; ++i) {
                // Bit for bit: the same days summed in the same order.
                const double got = m.temp(i);
                const double want = ref.temps[static_cast<std::size_t>(i)];
                ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0)
                    << trial << " period " << i << ": " << got << " vs " << want;
            }
            const double tens = static_cast<double>(ref.examined / 10 * 10);
            if (tens > 0) {
                ASSERT_FALSE(m.ui.paints.empty()) << trial;
                ASSERT_DOUBLE_EQ(m.ui.paints.back(), tens / m.d.WeatherRows) << trial;
            }
        } else {
            ++failures;
            ASSERT_EQ(m.ui.boxes, (std::vector<Box>{{"Error", "\"" + ref.error + "\""}})) << trial;
            ASSERT_EQ(m.d.DataRows, ref.failedPeriod - 1) << trial;
            for (long i = 1; i < ref.failedPeriod; ++i) {
                ASSERT_EQ(m.temp(i), ref.temps[static_cast<std::size_t>(i)]) << trial;
            }
            for (long i = ref.failedPeriod; i <= n; ++i) {
                ASSERT_EQ(m.temp(i), -99) << trial;
            }
        }
    }
    EXPECT_GT(failures, 50);  // the failure paths were exercised too
}
