#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands/Dispatch.h"
#include "commands/Imports.h"
#include "platform/Dates.h"
#include "support/Fakes.h"

using ombrix::CivilDate;
using ombrix::DataState;
using ombrix::DayNumber;
using ombrix::Table;
using ombrix::test::Box;
using ombrix::test::Harness;
using ombrix::test::TempDir;

namespace {

// An energy file: a heading, then one reading a month on the 15th from January of firstYear,
// electricity use 1000 + month index, demand 50, thermal 20, flags 1 for the first half.
std::string energyText(int firstYear, int months) {
    std::string s = "Mo,Dy,Yr,kWh,kW,Therm,ElecFlag,ThermFlag\r\n";
    for (int k = 0; k < months; ++k) {
        const int month = k % 12 + 1;
        const int year = firstYear + k / 12;
        const int flag = k < months / 2 ? 1 : 2;
        s += std::to_string(month) + ",15," + std::to_string(year) + "," +
             std::to_string(1000 + k) + ",50,20," + std::to_string(flag) + "," +
             std::to_string(flag) + "\r\n";
    }
    return s;
}

// A daily weather file from first to last inclusive; temperature = day of the month + offset.
std::string weatherText(CivilDate first, CivilDate last, double offset = 0) {
    std::string s = "Mo Dy Yr AvgT\r\n";
    const DayNumber a = ombrix::daysFromCivil(first.year, first.month, first.day);
    const DayNumber b = ombrix::daysFromCivil(last.year, last.month, last.day);
    for (DayNumber n = a; n <= b; ++n) {
        const CivilDate c = ombrix::civilFromDays(n);
        s += std::to_string(c.month) + " " + std::to_string(c.day) + " " + std::to_string(c.year) +
             " " + std::to_string(c.day + offset) + "\r\n";
    }
    return s;
}

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

// A typical year of lines lines (365 = one year without 29 February), temperature = line number.
std::string typicalYearText(int lines) {
    std::string s;
    DayNumber n = ombrix::daysFromCivil(2001, 1, 1);
    for (int i = 1; i <= lines; ++i, ++n) {
        const CivilDate c = ombrix::civilFromDays(n);
        s += std::to_string(c.month) + "," + std::to_string(c.day) + ",1991," + std::to_string(i) +
             "\r\n";
    }
    return s;
}

struct Imports : ::testing::Test {
    TempDir dir;
    Harness h;
    DataState& d = h.session.data;

    void openEnergy(const std::string& name, const std::string& text) {
        h.dialogs.choose(dir.write(name, text));
        ombrix::OpenEnergyCmd(h.session, h.services);
    }
    void openWeather(const std::string& name, const std::string& text) {
        h.dialogs.choose(dir.write(name, text));
        ombrix::OpenWeatherCmd(h.session, h.services);
    }
    void openTMY(const std::string& name, const std::string& text) {
        h.dialogs.choose(dir.write(name, text));
        ombrix::OpenTMYCmd(h.session, h.services);
    }
    std::string path(const std::string& name) const { return (dir.path() / name).string(); }
    // The closing steps ran: default pointer, no progress window.
    void expectClosed() const {
        EXPECT_FALSE(h.ui.busy);
        EXPECT_FALSE(h.ui.progressVisible);
    }
};

}  // namespace

TEST_F(Imports, CancelChangesNothing) {
    h.dialogs.cancel();
    ombrix::OpenEnergyCmd(h.session, h.services);
    h.dialogs.cancel();
    ombrix::OpenWeatherCmd(h.session, h.services);
    h.dialogs.cancel();
    ombrix::OpenTMYCmd(h.session, h.services);
    EXPECT_EQ(h.dialogs.captions,
              (std::vector<std::string>{"Open Energy Data File", "Open Weather Data File",
                                        "Open TMY Weather Data File"}));
    EXPECT_EQ(h.dialogs.patterns, (std::vector<std::string>{"*.utl", "*.wea", "*.wea"}));
    EXPECT_TRUE(h.ui.boxes.empty());
    EXPECT_EQ(h.status.changes(), 0u);
    EXPECT_EQ(h.ui.progressShows, 0);
    EXPECT_EQ(h.ui.busyOn, 0);
    EXPECT_FALSE(d.EnergyOpen);
    EXPECT_FALSE(d.WeatherOpen);
    EXPECT_FALSE(d.ModelTable.allocated());
}

TEST_F(Imports, EnergyFilePrintsItsSizeAndBecomesTheWorkingTable) {
    openEnergy("Sub Dir/Bldg12.UTL", energyText(2001, 37));
    ASSERT_TRUE(h.ui.boxes.empty()) << h.ui.boxes[0].text;
    EXPECT_EQ(
        h.status.lines(),
        (std::vector<std::string>{" BLDG12.UTL     Number rows = 37     Number columns = 8"}));
    EXPECT_TRUE(d.EnergyOpen);
    EXPECT_EQ(d.EnergyLastRow, 36);
    EXPECT_EQ(d.EnergyData.lastRow(), 36);
    EXPECT_EQ(d.EnergyData(0, 4), 1000);  // row 0 is the first reading
    EXPECT_EQ(d.EnergyData(36, 4), 1036);
    // Names keep their case, so the file and the reports beside it can be found again.
    EXPECT_EQ(d.EnergyDir, (dir.path() / "Sub Dir").string() + "/");
    EXPECT_EQ(d.EnergyFile, "Bldg12.UTL");
    EXPECT_EQ(d.ModelTable(1, 1), -99);
    EXPECT_EQ(d.ModelTable(3, 5), -99);
    EXPECT_EQ(d.DataRows, 37);
    EXPECT_EQ(d.DataTable(1, 4), 1000);  // the file as read, rows from 1
    ASSERT_EQ(d.ColNames.size(), 9);
    EXPECT_EQ(d.ColNames.at(6), "Thermal Use (units/mo)");
    EXPECT_EQ(d.PrePostCol, 7);
    EXPECT_EQ(d.PostColor, ombrix::kBlue);
    EXPECT_EQ(h.ui.captions, (std::vector<std::string>{"Opening Energy File..."}));
    // The reader fills half the bar, the copy (count DataRows + i) nearly all the rest.
    ASSERT_FALSE(h.ui.paints.empty());
    EXPECT_DOUBLE_EQ(h.ui.paints.back(), 73.0 / 74.0);
    expectClosed();
}

TEST_F(Imports, FailedEnergyImportKeepsTheLoadedFile) {
    openEnergy("good.utl", energyText(2001, 12));
    d.ModelTable.at(1, 2) = 55;  // a fitted model of the loaded data
    const auto status = h.status.lines();
    openEnergy("empty.utl", "no numbers here\r\n");
    h.dialogs.choose(dir.path() / "absent.utl");
    ombrix::OpenEnergyCmd(h.session, h.services);
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{{"Error", "\"No data lines in " + path("empty.utl") + "\""},
                                {"Error", "\"File not found: " + path("absent.utl") + "\""}}));
    EXPECT_EQ(d.MsgText, h.ui.boxes[1].text);
    EXPECT_EQ(d.EnergyFile, "good.utl");  // reports still go beside the loaded file
    EXPECT_EQ(d.EnergyLastRow, 11);
    EXPECT_EQ(d.DataRows, 12);
    EXPECT_EQ(d.DataTable.lastRow(), 12);
    EXPECT_EQ(d.ModelTable(1, 2), 55);
    EXPECT_EQ(h.status.lines(), status);
    expectClosed();
}

TEST_F(Imports, ColumnMessageDoesNotStopTheImport) {
    openEnergy("long.utl",
               "1,15,2001,1,2,3,1,1\r\n2,14,2001,1,2,3,1,1,9\r\n3,16,2001,1,2,3,1,1\r\n");
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", "Incorrect number of columns in line 2 of " +
                                                          upper(path("long.utl")) + "."}}));
    EXPECT_TRUE(d.EnergyOpen);
    EXPECT_EQ(d.EnergyLastRow, 2);
    EXPECT_EQ(d.EnergyData(0, 3), 2001);
    EXPECT_TRUE(d.EnergyData.at(1, 1).isEmpty());
    EXPECT_EQ(h.status.lines().size(), 1u);
    expectClosed();
}

TEST_F(Imports, WeatherAloneIsTheWorkingTable) {
    openWeather("Daily.wea", weatherText({2001, 1, 1}, {2001, 3, 31}));
    ASSERT_TRUE(h.ui.boxes.empty()) << h.ui.boxes[0].text;
    EXPECT_EQ(h.status.lines(),
              (std::vector<std::string>{" DAILY.WEA     Number rows = 90     Number columns = 4"}));
    EXPECT_TRUE(d.WeatherOpen);
    EXPECT_EQ(d.WeatherRows, 90);
    EXPECT_EQ(d.WeatherCols, 4);
    EXPECT_EQ(d.WeatherData(90, 2), 31);
    EXPECT_TRUE(d.WeatherData.at(0, 1).isEmpty());
    EXPECT_EQ(d.DataRows, 90);
    EXPECT_EQ(d.ColNames.size(), 5);
    EXPECT_EQ(d.ColNames.at(4), "Avg Daily Temp (F)");
    EXPECT_EQ(d.PrePostCol, 0);
    EXPECT_EQ(h.ui.captions, (std::vector<std::string>{"Opening Weather File..."}));
    ASSERT_FALSE(h.ui.paints.empty());
    EXPECT_DOUBLE_EQ(h.ui.paints.back(), 1.0);  // count 180 of 180
    expectClosed();
}

TEST_F(Imports, EitherOrderGivesTheSameMergedTable) {
    const std::string energy = energyText(2001, 13);
    const std::string weather = weatherText({2000, 12, 1}, {2002, 2, 28});
    openEnergy("a.utl", energy);
    openWeather("a.wea", weather);
    ASSERT_TRUE(h.ui.boxes.empty()) << h.ui.boxes[0].text;
    EXPECT_EQ(h.status.lines(),
              (std::vector<std::string>{" A.WEA     Number rows = 455     Number columns = 4"}));
    EXPECT_EQ(h.ui.captions,
              (std::vector<std::string>{"Opening Energy File...", "Opening Weather File...",
                                        "Merging Energy and Weather Files..."}));
    EXPECT_EQ(d.PrePostCol, 0);
    expectClosed();

    Harness other;
    other.dialogs.choose(dir.path() / "a.wea");
    ombrix::OpenWeatherCmd(other.session, other.services);
    other.dialogs.choose(dir.path() / "a.utl");
    ombrix::OpenEnergyCmd(other.session, other.services);
    ASSERT_TRUE(other.ui.boxes.empty());
    EXPECT_EQ(other.status.lines(),
              (std::vector<std::string>{" A.UTL     Number rows = 13     Number columns = 8"}));
    EXPECT_EQ(other.session.data.PrePostCol, 7);

    // Period 1 is 16 January .. 15 February: days 16..31 and 1..15 of the month, averaged.
    EXPECT_EQ(d.DataTable(1, 9), (376.0 + 120.0) / 31);
    EXPECT_EQ(d.DataRows, 12);
    EXPECT_EQ(d.ColNames.size(), 13);
    EXPECT_EQ(other.session.data.DataRows, 12);
    for (long r = 0; r <= 12; ++r) {
        for (long c = 1; c <= 12; ++c) {
            const auto& x = d.DataTable.at(r, c);
            const auto& y = other.session.data.DataTable.at(r, c);
            EXPECT_EQ(x.isEmpty(), y.isEmpty());
            EXPECT_EQ(x.value(), y.value()) << r << "," << c;
        }
    }
}

TEST_F(Imports, ReloadingWeatherReplacesAndMergesAgain) {
    openEnergy("a.utl", energyText(2001, 4));
    openWeather("a.wea", weatherText({2001, 1, 1}, {2001, 12, 31}));
    d.DataTable.at(2, 10) = 1234;  // a savings result of the earlier merge
    const double before = d.DataTable(2, 9);
    openWeather("b.wea", weatherText({2001, 1, 1}, {2001, 12, 31}, 10));
    ASSERT_TRUE(h.ui.boxes.empty());
    EXPECT_EQ(d.DataTable(2, 9), before + 10);
    EXPECT_EQ(d.DataTable(2, 10), -99);
    EXPECT_EQ(d.DataRows, 3);
}

TEST_F(Imports, ReloadingEnergyReplacesItAndResetsTheModels) {
    openWeather("a.wea", weatherText({2001, 1, 1}, {2003, 12, 31}));
    openEnergy("a.utl", energyText(2001, 4));
    d.ModelTable.at(1, 3) = 77;
    openEnergy("b.utl", energyText(2002, 7));
    EXPECT_EQ(d.EnergyLastRow, 6);
    EXPECT_EQ(d.EnergyFile, "b.utl");
    EXPECT_EQ(d.DataRows, 6);
    EXPECT_EQ(d.DataTable(1, 3), 2002);
    EXPECT_EQ(d.ModelTable(1, 3), -99);
}

TEST_F(Imports, TypicalYearOfExactly365LinesCovers1990To2015) {
    openTMY("typical.wea", typicalYearText(365));
    ASSERT_TRUE(h.ui.boxes.empty()) << h.ui.boxes[0].text;
    EXPECT_EQ(h.dialogs.captions.back(), "Open TMY Weather Data File");
    EXPECT_EQ(d.WeatherRows, 9490);
    EXPECT_EQ(d.WeatherCols, 5);
    auto row = [&](long k) {
        return std::vector<double>{d.WeatherData(k, 1), d.WeatherData(k, 2), d.WeatherData(k, 3),
                                   d.WeatherData(k, 4)};
    };
    EXPECT_EQ(row(1), (std::vector<double>{1, 1, 1990, 1}));
    EXPECT_EQ(row(365 + 59), (std::vector<double>{2, 28, 1991, 59}));  // then 1 March
    EXPECT_EQ(row(365 + 60), (std::vector<double>{3, 1, 1991, 60}));
    EXPECT_EQ(row(9490), (std::vector<double>{12, 31, 2015, 365}));
    // The working table is the file as read, not the expanded table.
    EXPECT_EQ(d.DataRows, 365);
    EXPECT_EQ(d.DataTable(1, 3), 1991);
    EXPECT_EQ(d.ColNames.at(4), "Avg Daily Temps (F)");
    EXPECT_TRUE(h.ui.paints.empty() || h.ui.paints.back() <= 0.5);  // the copy adds no progress
    expectClosed();
}

TEST_F(Imports, ShortOrNarrowTypicalYearFailsAndKeepsTheWeather) {
    openWeather("a.wea", weatherText({2001, 1, 1}, {2001, 1, 31}));
    openTMY("short.wea", typicalYearText(364));
    std::string narrow;
    for (int i = 0; i < 365; ++i) {
        narrow += "1,1,1991\r\n";
    }
    openTMY("three.wea", narrow);
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{{"Error", "\"A typical-year file needs at least 365 data lines; " +
                                              path("short.wea") + " has 364\""},
                                {"Error",
                                 "\"A typical-year file needs 4 columns (month, day, year, "
                                 "temperature); " +
                                     path("three.wea") + " has 3\""}}));
    EXPECT_TRUE(d.WeatherOpen);
    EXPECT_EQ(d.WeatherRows, 31);
    EXPECT_EQ(d.WeatherCols, 4);
    EXPECT_EQ(d.DataRows, 31);  // the working table is the one before the failed imports
    EXPECT_EQ(d.DataTable.lastRow(), 31);
    expectClosed();

    Harness fresh;
    fresh.dialogs.choose(dir.path() / "short.wea");
    ombrix::OpenTMYCmd(fresh.session, fresh.services);
    EXPECT_FALSE(fresh.session.data.WeatherOpen);
}

TEST_F(Imports, TypicalYearTemperaturesReplaceMeasuredOnesInTheMerge) {
    openEnergy("a.utl",
               "1,15,2001,1,1,1,1,1\r\n2,15,2001,1,1,1,1,1\r\n"
               "12,15,2015,1,1,1,1,1\r\n1,15,2016,1,1,1,1,1\r\n2,15,2016,1,1,1,1,1\r\n");
    openWeather("a.wea", weatherText({2001, 1, 1}, {2001, 12, 31}, 1000));
    EXPECT_EQ(d.DataTable(1, 9), 1000 + (376.0 + 120.0) / 31);
    openTMY("typical.wea", typicalYearText(365));
    ASSERT_TRUE(h.ui.boxes.empty()) << h.ui.boxes[0].text;
    // The temperature of the typical year is the day of the year: lines 16..46 for 2001.
    EXPECT_EQ(d.DataTable(1, 9), (16.0 + 46.0) / 2);
    // 16 February 2001 .. 15 December 2015 spans the repeated years: 14 whole ones from
    // 16 February and 15 December back to 16 February.
    EXPECT_DOUBLE_EQ(d.DataTable(2, 9),
                     (14 * 183.0 * 365 + (47 + 349) / 2.0 * 303) / (14 * 365 + 303));
    // 16 December 2015 .. 15 January 2016 reaches past the typical years' end; then none.
    EXPECT_EQ(d.DataTable(3, 9), (350.0 + 365.0) / 2);
    EXPECT_EQ(d.DataTable(4, 9), -99);
}

TEST_F(Imports, InvalidWeatherDateIsReportedAndTheImportFinishes) {
    openEnergy("a.utl", energyText(2001, 6));
    std::string weather = weatherText({2001, 1, 1}, {2001, 12, 31});
    // Data line 59 is 28 February; make it 30 February.
    const auto at = weather.find("\r\n2 28 2001 ");
    ASSERT_NE(at, std::string::npos);
    weather.replace(at, 12, "\r\n2 30 2001 ");
    openWeather("bad.wea", weather);
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{{"Error", "\"Invalid date 2/30/2001 in weather row 59\""}}));
    EXPECT_TRUE(d.WeatherOpen);
    EXPECT_EQ(d.PrePostCol, 0);
    EXPECT_EQ(d.DataRows, 1);  // 16 January .. 15 February is complete
    EXPECT_LE(d.DataRows, d.DataTable.lastRow());
    EXPECT_EQ(d.ColNames.size(), 13);
    expectClosed();
    // Later commands work on the consistent table without reading past its end.
    ombrix::runCommand(h.session, h.services, ombrix::CommandId::ViewMoWeatherCmd);
    ombrix::runCommand(h.session, h.services, ombrix::CommandId::ViewMoElecUseCmd);
    EXPECT_EQ(h.ui.boxes.size(), 1u);
}

TEST_F(Imports, FailedReadPutsBackTheWorkingTable) {
    openEnergy("a.utl", energyText(2001, 6));
    openWeather("huge.wea", "1,1,2001,30\r\n1,2,2001,1e999\r\n");
    openWeather("empty.wea", "Mo Dy Yr T\r\n");
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{{"Error", "\"Number too large: 1e999\""},
                                {"Error", "\"No data lines in " + path("empty.wea") + "\""}}));
    EXPECT_FALSE(d.WeatherOpen);
    EXPECT_EQ(d.DataRows, 6);
    EXPECT_EQ(d.DataCols, 8);
    EXPECT_EQ(d.DataTable(6, 4), 1005);
    EXPECT_EQ(d.ColNames.size(), 9);
    expectClosed();
}
