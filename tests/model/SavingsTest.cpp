#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "model/MergedTable.h"
#include "model/Savings.h"
#include "platform/Errors.h"

using namespace ombrix;
using ombrix::test::fillMerged;
using ombrix::test::Reading;

namespace {

// E = 610 − 2·T + 5·(T − 55)+: 500 at the change point, slopes −2 and 3.
ChangePointModel fourP() {
    return fourParameterModel({55, 610, -2, 5, 0.3252, std::sqrt(3.2), 0.9978});
}

// E = 1234.5 − 12.345·(T − 45.5) at or below 45.5, + 20·(T − 65.25) above 65.25.
ChangePointModel fiveP() {
    return fiveParameterModel({45.5, 65.25, 1234.5, -12.345, 20, 12.25, 151.0, 0.875});
}

std::string spaces(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

}  // namespace

TEST(ModelChoice, FivePNeedsMoreThanAFifthLowerCv) {
    EXPECT_FALSE(prefersFiveParameters(10.0, 8.0));  // exactly a fifth is not enough
    EXPECT_TRUE(prefersFiveParameters(10.0, 7.9));
    EXPECT_FALSE(prefersFiveParameters(0.0, 0.0));  // a perfect 4P fit stays
    EXPECT_FALSE(prefersFiveParameters(0.0, 1.0));
    Fit4PResult four;
    four.CV = 10.0;
    EXPECT_EQ(chooseModel(four, std::nullopt).type, "4P");  // the 5P fit failed
    EXPECT_EQ(chooseModel(four, Fit5PResult{40, 60, 1, 2, 3, 7.9, 1, 1}).Xcp1, 40);
}

TEST(SavingsReport, FiveParameterLinesAndTheLineWithoutSavings) {
    EXPECT_EQ(modelLine(fiveP(), 36),
              "Pre-retrofit model: 5P   N =  36    R2 = 0.88   CV-RMSE = 12.3%   Xcp1 = 45.50   "
              "Xcp2 = 65.25   Ycp = 1,234.50   LS = -12.35   RS = 20.00");
    EXPECT_EQ(equationLine(fiveP(), "Thermal Engy"),
              "Pre-retrofit model: Thermal Engy = 1,234.50  +  12.35(45.50 - T)+  +  20.00(T - "
              "65.25)+");
    SavingsTotals none;
    none.S = 0.0;
    none.m = 0;
    addUncertainty(none, 8, 2.0);
    EXPECT_EQ(savingsLine(none), "Total Savings = 0 +- -99.0 (-99.0%)  after  0  days.");
}

TEST(ModelInput, TakesBaselineRowsWithBothValues) {
    DataState d;
    fillMerged(d, {12, 1, 2019},
               {{1, 1, 2020, 30.0, 700},
                {2, 1, 2020, -99, 650},
                {3, 1, 2020, 45.5, -99},
                {4, 1, 2020, 20.0, 800, 0, 0, 0},  // electricity post-retrofit
                {5, 1, 2020, 62.0, 500, 0, 0, 1, 2},
                {6, 1, 2020, 75.0, 820}});
    ModelState m;
    buildModelInput(d, m, 9, 4, 7);
    ASSERT_EQ(m.ModelN, 3);
    EXPECT_EQ(m.ModelX(2, 2), 62);
    EXPECT_EQ(m.ModelY(3, 1), 820);
    EXPECT_EQ(m.ModelTMin, 30);
    EXPECT_EQ(m.ModelTMax, 75);
    EXPECT_EQ(m.ModelYMin, 500);
    buildModelInput(d, m, 9, 4, 8);  // by the thermal flags: rows 1, 4 and 6
    EXPECT_EQ(m.ModelX(2, 2), 20);
}

TEST(Predictions, FillTheResultColumnAndSumThePostRetrofitPeriods) {
    DataState d;
    fillMerged(d, {12, 15, 2019},
               {
                   {1, 15, 2020, 45, 480, 0, 0, 0},   // post, 31 days from the opening reading
                   {2, 14, 2020, 30, 550},            // baseline
                   {3, 16, 2020, -99, 500, 0, 0, 0},  // post without temperature
                   {4, 15, 2020, 65, 500, 0, 0, 2},   // post (flag 2), 30 days
                   {5, 15, 2020, 85, -99, 0, 0, 0},   // post without energy
                   {6, 14, 2020, 70, 560, 0, 0, 0},   // post, 30 days
                   {7, 15, 2020, 80, -99},            // baseline without energy
               });
    const SavingsTotals t = predictSavings(d, fourP(), 9, 4, 10, 7);
    const std::vector<double> expected{520, 550, -99, 530, -99, 545, -99};
    for (long i = 1; i <= 7; ++i) {
        EXPECT_EQ(d.DataTable(i, 10), expected[static_cast<std::size_t>(i - 1)]) << "row " << i;
    }
    EXPECT_EQ(t.S, 40 + 30 - 15);
    EXPECT_EQ(t.m, 3);
    EXPECT_EQ(t.D, 31 + 30 + 30);  // rows without data still move the start of the next period
}

TEST(Predictions, InvalidReadingDateNamesTheRowAndKeepsWhatWasFilled) {
    DataState d;
    fillMerged(d, {1, 1, 2001}, {{1, 31, 2001, 40, 600}, {2, 30, 2001, 45, 600, 0, 0, 0}});
    try {
        predictSavings(d, fourP(), 9, 4, 10, 7);
        FAIL() << "no failure";
    } catch (const OmbrixError& e) {
        EXPECT_STREQ(e.what(), "Invalid date 2/30/2001 in energy row 2");
    }
    EXPECT_EQ(d.DataTable(1, 10), 600);
    EXPECT_EQ(d.DataTable(2, 10), -99);
}

TEST(TableFile, ValuesFillPrintZonesOfFourteen) {
    Table t(1, 12);
    const std::vector<double> values{2,   14,  2020, -1234567.8912345, 12.5, 0, 1, 0, 12345678.5,
                                     550, -99, -99};
    for (long c = 1; c <= 12; ++c) {
        t.at(1, c) = values[static_cast<std::size_t>(c - 1)];
    }
    t.at(1, 6).clear();  // an empty cell prints as nothing
    // "-1234567.8912345 " needs two zones; "12,345,678.500" ends on a zone and gets all of the
    // next one.
    EXPECT_EQ(tableFileLine(t, 1), " 2 " + spaces(11) + " 14 " + spaces(10) + " 2020 " + spaces(8) +
                                       "-1234567.8912345 " + spaces(11) + " 12.5 " + spaces(8) +
                                       spaces(14) + " 1 " + spaces(11) + " 0 " + spaces(11) +
                                       "12,345,678.500" + spaces(14) + "550.000" + spaces(7) +
                                       "-99.000" + spaces(7) + "-99.000" + spaces(7) + "\r\n");
}

TEST(OutputPath, ReplacesAThreeLetterExtensionOrAppendsOneButNeverNamesTheEnergyFile) {
    EXPECT_EQ(outputPath("/data/", "bldg.utl", "kwh"), "/data/bldg.kwh");
    EXPECT_EQ(outputPath("/data/", "a.b.utl", "thm"), "/data/a.b.thm");
    EXPECT_EQ(outputPath("/data/", "x.dat", "kwh"), "/data/x.kwh");
    EXPECT_EQ(outputPath("/data/", "bldg", "kwh"), "/data/bldg.kwh");
    EXPECT_EQ(outputPath("/data/", "bldg.ut", "dat"), "/data/bldg.ut.dat");
    EXPECT_EQ(outputPath("/data/", "a.b.c", "dat"), "/data/a.b.c.dat");
    // Never the energy file itself.
    EXPECT_THROW(outputPath("/data/", "", "kwh"), OmbrixError);
    try {
        outputPath("/data/", "x.dat", "dat");
        FAIL() << "no failure";
    } catch (const OmbrixError& e) {
        EXPECT_STREQ(e.what(), "The .dat file would overwrite the energy file /data/x.dat");
    }
}

TEST(StoredModel, FourParameterKeepsTheFifthParameterAndFillsItsRow) {
    ModelState m;
    m.ModelParam5 = 77.0;
    Table table(3, 5);
    storeModel(m, table, fourP(), 8, 2);
    EXPECT_EQ(m.ModelType, "4P");
    EXPECT_EQ(m.ModelParam1.value(), 55);
    EXPECT_EQ(m.ModelParam2.value(), 610);
    EXPECT_EQ(m.ModelParam4.value(), 5);
    EXPECT_EQ(m.ModelParam5.value(), 77);
    EXPECT_EQ(m.ModelNObs.value(), 8);
    const std::vector<double> row{-99, 55, 500, -2, 3};
    for (long c = 1; c <= 5; ++c) {
        EXPECT_EQ(table(2, c), row[static_cast<std::size_t>(c - 1)]) << c;
    }
    ModelState untouched;
    Table unallocated;
    EXPECT_THROW(storeModel(untouched, unallocated, fourP(), 8, 1), OmbrixError);
    EXPECT_EQ(untouched.ModelType, "");
}

namespace {

// Twelve monthly periods of 2021, 365 days together, measured 170 each except 130 in December;
// a flat stored model of `level` per period from 10 observations with an RMSE of 10.
void fillYear(DataState& d, ModelState& m, double level) {
    std::vector<Reading> periods;
    for (int k = 2; k <= 13; ++k) {
        periods.push_back({k <= 12 ? k : 1.0, 1, k <= 12 ? 2021.0 : 2022.0, 20.0 + 5 * k,
                           k == 13 ? 130.0 : 170.0});
    }
    fillMerged(d, {1, 1, 2021}, periods);
    Table table(3, 5);
    storeModel(m, table, fourParameterModel({50, level, 0, 0, 9.5, 10, 0.456}), 10, 1);
}

}  // namespace

TEST(Nac, AnnualisesToAYearOf365AndAQuarterDays) {
    DataState d;
    ModelState m;
    fillYear(d, m, 100);
    const NacTotals t = normalizedConsumption(d, m, 9, 4, 10);
    EXPECT_EQ(t.A, 2000);
    EXPECT_EQ(t.Q, 1200);
    EXPECT_EQ(t.D, 365);
    EXPECT_EQ(d.DataTable(5, 10), 100);
    // AC = 2000·365.25/365 = 2001.37; U = 1.96·10·√(1.2·12)·365.25/365 = 74.43.
    EXPECT_EQ(nacReportLines(m, t),
              (std::vector<std::string>{
                  "Pre-retrofit model: 4P   N =  10    R2 = 0.46   CV-RMSE = 9.5%",
                  "  Annual Consumption = 2,001  Normalized Annual Consumption = 1,201 +- 74.4 "
                  "(6.2%)"}));
}

TEST(Nac, MissingRowsAreSkippedButMoveThePreviousDate) {
    DataState d;
    ModelState m;
    fillYear(d, m, 100);
    d.DataTable.at(3, 9) = -99.0;  // April 1: no temperature for March
    d.DataTable.at(7, 4) = -99.0;  // August 1: no energy for July
    const NacTotals t = normalizedConsumption(d, m, 9, 4, 10);
    EXPECT_EQ(t.D, 365 - 31 - 31);
    EXPECT_EQ(t.m, 10);
    EXPECT_EQ(t.A, 2000 - 340);
    EXPECT_EQ(d.DataTable(3, 10), -99);
    EXPECT_EQ(d.DataTable(4, 10), 100);
}

TEST(Nac, NonPositiveConsumptionHasNoUncertainty) {
    DataState d;
    ModelState m;
    fillYear(d, m, -50);
    const NacTotals t = normalizedConsumption(d, m, 9, 4, 10);
    EXPECT_EQ(nacReportLines(m, t)[1],
              "  Annual Consumption = 2,001  Normalized Annual Consumption = -600 +- 0.0 (0.0%)");
    fillYear(d, m, 0);
    EXPECT_EQ(normalizedConsumption(d, m, 9, 4, 10).U, 0);
}

TEST(Nac, WithoutAStoredModelNothingIsApplied) {
    DataState d;
    ModelState stored, none;
    fillYear(d, stored, 100);
    d.DataTable.at(2, 10) = 1234.0;
    const NacTotals t = normalizedConsumption(d, none, 9, 4, 10);
    EXPECT_EQ(d.DataTable(2, 10), 1234);
    EXPECT_EQ(nacReportLines(none, t),
              (std::vector<std::string>{
                  "Pre-retrofit model:    N =    R2 = 0.00   CV-RMSE = 0.0%",
                  "  Annual Consumption = 0  Normalized Annual Consumption = 0 +- 0.0 (0.0%)"}));
}

TEST(Nac, FiveParameterModelFromTheStoredParameters) {
    DataState d;
    fillMerged(d, {1, 1, 2021}, {{1, 11, 2021, 35.5, 1400}, {1, 31, 2021, 70.25, 1300}});
    ModelState m;
    Table table(3, 5);
    storeModel(m, table, fiveP(), 36, 3);
    const NacTotals t = normalizedConsumption(d, m, 9, 4, 10);
    EXPECT_DOUBLE_EQ(d.DataTable(1, 10), 1234.5 + 123.45);
    EXPECT_EQ(d.DataTable(2, 10), 1334.5);
    EXPECT_EQ(t.D, 30);
}
