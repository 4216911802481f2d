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
    Fit4PResult f;
    f.Xcp = 55;
    f.b1 = 610;
    f.b2 = -2;
    f.b3 = 5;
    f.CV = 0.3252;
    f.RMSE = std::sqrt(3.2);
    f.R2 = 0.9978;
    return fourParameterModel(f);
}

// E = 1234.5 − 12.345·(T − 45.5)− + 20·(T − 65.25)+.
ChangePointModel fiveP() {
    Fit5PResult f;
    f.Xcp1 = 45.5;
    f.Xcp2 = 65.25;
    f.b1 = 1234.5;
    f.b2 = -12.345;
    f.b3 = 20;
    f.CV = 12.25;
    f.RMSE = 151.0;
    f.R2 = 0.875;
    return fiveParameterModel(f);
}

std::string spaces(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

}  // namespace

TEST(ModelChoice, FivePNeedsMoreThanAFifthLowerCv) {
    EXPECT_FALSE(prefersFiveParameters(10.0, 8.0));  // exactly a fifth is not enough
    EXPECT_TRUE(prefersFiveParameters(10.0, 7.9));
    EXPECT_FALSE(prefersFiveParameters(10.0, 10.5));
    EXPECT_FALSE(prefersFiveParameters(0.0, 0.0));  // a perfect 4P fit stays
    EXPECT_FALSE(prefersFiveParameters(0.0, 1.0));
}

TEST(ModelChoice, ChooseModelTakesTheFitsApart) {
    Fit4PResult four;
    four.CV = 10.0;
    four.Xcp = 50;
    Fit5PResult five;
    five.CV = 7.9;
    five.Xcp1 = 40;
    five.Xcp2 = 60;
    EXPECT_EQ(chooseModel(four, five).type, "5P");
    EXPECT_EQ(chooseModel(four, five).Xcp1, 40);
    five.CV = 8.0;
    EXPECT_EQ(chooseModel(four, five).type, "4P");
    EXPECT_EQ(chooseModel(four, five).Xcp1, -99);
    EXPECT_EQ(chooseModel(four, std::nullopt).type, "4P");  // the 5P fit failed
}

TEST(ChangePointModel, PredictsBothShapes) {
    const auto m4 = fourP();
    EXPECT_EQ(m4.predict(45), 520);
    EXPECT_EQ(m4.predict(55), 500);
    EXPECT_EQ(m4.predict(65), 530);
    EXPECT_EQ(m4.Ycp(), 500);
    EXPECT_EQ(m4.LS(), -2);
    EXPECT_EQ(m4.RS(), 3);
    const auto m5 = fiveP();
    EXPECT_DOUBLE_EQ(m5.predict(35.5), 1234.5 + 123.45);
    EXPECT_EQ(m5.predict(45.5), 1234.5);
    EXPECT_EQ(m5.predict(60), 1234.5);
    EXPECT_EQ(m5.predict(70.25), 1334.5);
    EXPECT_EQ(m5.Ycp(), 1234.5);
    EXPECT_EQ(m5.LS(), -12.345);
    EXPECT_EQ(m5.RS(), 20);
}

TEST(SavingsReport, FourParameterLines) {
    EXPECT_EQ(modelLine(fourP(), 8),
              "Pre-retrofit model: 4P   N =  8    R2 = 1.00   CV-RMSE = 0.3%   Xcp = 55.00   "
              "Ycp = 500.00   LS = -2.00   RS = 3.00");
    EXPECT_EQ(equationLine(fourP(), "Elec Use"),
              "Pre-retrofit model: Elec Use = 500.00  +  2.00(55.00 - T)+  +  3.00(T - 55.00)+");
}

TEST(SavingsReport, FiveParameterLines) {
    EXPECT_EQ(modelLine(fiveP(), 36),
              "Pre-retrofit model: 5P   N =  36    R2 = 0.88   CV-RMSE = 12.3%   Xcp1 = 45.50   "
              "Xcp2 = 65.25   Ycp = 1,234.50   LS = -12.35   RS = 20.00");
    EXPECT_EQ(equationLine(fiveP(), "Thermal Engy"),
              "Pre-retrofit model: Thermal Engy = 1,234.50  +  12.35(45.50 - T)+  +  20.00(T - "
              "65.25)+");
}

TEST(SavingsReport, SavingsLineWithAndWithoutUncertainty) {
    SavingsTotals t;
    t.S = 12345.6;
    t.D = 365;
    t.m = 12;
    t.U = 987.65;
    t.P = 8.0000001;
    EXPECT_EQ(savingsLine(t), "Total Savings = 12,346 +- 987.7 (8.0%)  after  365  days.");
    SavingsTotals none;
    addUncertainty(none, 8, 2.0);
    EXPECT_EQ(savingsLine(none), "Total Savings = 0 +- -99.0 (-99.0%)  after  0  days.");
}

TEST(SavingsReport, QuantitiesNameTheirFilesAndRows) {
    EXPECT_EQ(savingsQuantity(4).name, "Elec Use");
    EXPECT_EQ(savingsQuantity(4).extension, "kwh");
    EXPECT_EQ(savingsQuantity(5).name, "Elec Demand");
    EXPECT_EQ(savingsQuantity(5).extension, "kwd");
    EXPECT_EQ(savingsQuantity(5).modelTableRow, 2);
    EXPECT_EQ(savingsQuantity(6).name, "Thermal Engy");
    EXPECT_EQ(savingsQuantity(6).extension, "thm");
    EXPECT_EQ(savingsQuantity(6).modelTableRow, 3);
    EXPECT_THROW(savingsQuantity(9), OmbrixError);
}

TEST(Uncertainty, ByHand) {
    SavingsTotals t;
    t.S = 55;
    t.m = 3;
    addUncertainty(t, 8, std::sqrt(3.2));
    // 1.96 · √3.2 · √(1.25 · 3) = 1.96 · √12.
    EXPECT_NEAR(t.U, 1.96 * std::sqrt(12.0), 1e-13);
    EXPECT_NEAR(t.P, 1.96 * std::sqrt(12.0) / 55 * 100, 1e-12);
    SavingsTotals negative;
    negative.S = -40;
    negative.m = 2;
    addUncertainty(negative, 10, 5.0);
    EXPECT_GT(negative.P, 0);  // a percentage of the size of the savings
    EXPECT_EQ(negative.S, -40);
}

TEST(Uncertainty, NoSavingsOrNoObservationsGiveMissingValues) {
    SavingsTotals t;
    t.S = 25;
    t.m = 1;
    addUncertainty(t, 0, 3.0);
    EXPECT_EQ(t.S, 0);
    EXPECT_EQ(t.U, -99);
    EXPECT_EQ(t.P, -99);
}

TEST(ModelInput, TakesBaselineRowsWithBothValues) {
    DataState d;
    fillMerged(d, {12, 1, 2019},
               {
                   {1, 1, 2020, 30.0, 700},
                   {2, 1, 2020, -99, 650},               // no temperature
                   {3, 1, 2020, 45.5, -99},              // no energy
                   {4, 1, 2020, 20.0, 800, 0, 0, 0},     // electricity post-retrofit
                   {5, 1, 2020, 62.0, 500, 0, 0, 1, 2},  // thermal flag 2: not baseline
                   {6, 1, 2020, 75.0, 820, 0, 0, 1, 1},
               });
    ModelState m;
    m.ModelTMin = -500;  // left by an earlier graph
    buildModelInput(d, m, 9, 4, 7);
    ASSERT_EQ(m.ModelN, 3);
    EXPECT_EQ(m.ModelX(1, 1), 1);
    EXPECT_EQ(m.ModelX(2, 2), 62);
    EXPECT_EQ(m.ModelY(3, 1), 820);
    EXPECT_EQ(m.ModelTMin, 30);
    EXPECT_EQ(m.ModelTMax, 75);
    EXPECT_EQ(m.ModelYMin, 500);
    EXPECT_EQ(m.ModelYMax, 820);
    buildModelInput(d, m, 9, 4, 8);  // thermal flags: rows 1, 4 and 6 are baseline
    EXPECT_EQ(m.ModelN, 3);
    EXPECT_EQ(m.ModelX(2, 2), 20);
}

TEST(Predictions, FillTheResultColumnAndSumThePostRetrofitPeriods) {
    DataState d;
    fillMerged(d, {12, 15, 2019},
               {
                   {1, 15, 2020, 45, 480, 0, 0, 0},   // post, 31 days, saves 520 − 480
                   {2, 14, 2020, 30, 550},            // baseline
                   {3, 16, 2020, -99, 500, 0, 0, 0},  // post without temperature
                   {4, 15, 2020, 65, 500, 0, 0, 2},   // post (flag 2), 30 days, saves 30
                   {5, 15, 2020, 85, -99, 0, 0, 0},   // post without energy
                   {6, 14, 2020, 70, 560, 0, 0, 0},   // post, 30 days, saves −15
                   {7, 15, 2020, 80, -99},            // baseline without energy
               });
    const SavingsTotals t = predictSavings(d, fourP(), 9, 4, 10, 7);
    const std::vector<double> expected{520, 550, -99, 530, -99, 545, -99};
    for (long i = 1; i <= 7; ++i) {
        EXPECT_EQ(d.DataTable(i, 10), expected[static_cast<std::size_t>(i - 1)]) << "row " << i;
    }
    EXPECT_EQ(t.S, 55);
    EXPECT_EQ(t.m, 3);
    // The first period runs from the opening reading; the missing rows still move the start.
    EXPECT_EQ(t.D, 31 + 30 + 30);
    EXPECT_EQ(d.DataTable(1, 11), -99);  // other result columns untouched
}

TEST(Predictions, AllPostRetrofitRowsMissingGiveNoSavings) {
    DataState d;
    fillMerged(
        d, {1, 1, 2021},
        {{2, 1, 2021, 40, 600}, {3, 1, 2021, -99, 500, 0, 0, 0}, {4, 1, 2021, 50, -99, 0, 0, 0}});
    SavingsTotals t = predictSavings(d, fourP(), 9, 4, 10, 7);
    addUncertainty(t, 1, 3.0);
    EXPECT_EQ(t.m, 0);
    EXPECT_EQ(t.D, 0);
    EXPECT_EQ(savingsLine(t), "Total Savings = 0 +- -99.0 (-99.0%)  after  0  days.");
    EXPECT_EQ(d.DataTable(1, 10), 600);
    EXPECT_EQ(d.DataTable(3, 10), -99);
}

TEST(Predictions, InvalidReadingDateNamesTheRow) {
    DataState d;
    fillMerged(d, {1, 1, 2001}, {{1, 31, 2001, 40, 600}, {2, 30, 2001, 45, 600, 0, 0, 0}});
    try {
        predictSavings(d, fourP(), 9, 4, 10, 7);
        FAIL() << "no failure";
    } catch (const OmbrixError& e) {
        EXPECT_STREQ(e.what(), "Invalid date 2/30/2001 in energy row 2");
    }
    EXPECT_EQ(d.DataTable(1, 10), 600);  // filled up to the failing row
    EXPECT_EQ(d.DataTable(2, 10), -99);
}

TEST(TableFile, ValuesFillPrintZonesOfFourteen) {
    DataState d;
    fillMerged(d, {1, 15, 2020}, {{2, 14, 2020, 30, 550, 12.5, 0, 1, 0}});
    d.DataTable.at(1, 10) = 550.0;
    const std::string expected = " 2 " + spaces(11) + " 14 " + spaces(10) + " 2020 " + spaces(8) +
                                 " 550 " + spaces(9) + " 12.5 " + spaces(8) + " 0 " + spaces(11) +
                                 " 1 " + spaces(11) + " 0 " + spaces(11) + "30.000" + spaces(8) +
                                 "550.000" + spaces(7) + "-99.000" + spaces(7) + "-99.000" +
                                 spaces(7) + "\r\n";
    EXPECT_EQ(tableFileLine(d.DataTable, 1), expected);
}

TEST(TableFile, AValueEndingOnAZoneMovesToTheNextOneAndEmptyCellsPrintNothing) {
    Table t(1, 12);
    for (long c = 1; c <= 12; ++c) {
        t.at(1, c) = 0.0;
    }
    t.at(1, 2).clear();
    t.at(1, 4) = -1234567.8912345;  // "-1234567.8912345 " is 17 characters: two zones
    t.at(1, 9) = 12345678.5;        // "12,345,678.500" fills its zone exactly
    const std::string line = tableFileLine(t, 1);
    EXPECT_EQ(line.substr(0, 70), " 0 " + spaces(11) + spaces(14) + " 0 " + spaces(11) +
                                      "-1234567.8912345 " + spaces(11));
    // Everything after the long value starts one zone later.
    EXPECT_EQ(line.substr(126, 28), "12,345,678.500" + spaces(14));
    EXPECT_EQ(line.size(), 14u * 14u + 2u);
}

TEST(TableFile, OneLinePerPeriodWithoutHeader) {
    DataState d;
    fillMerged(d, {1, 1, 2020}, {{2, 1, 2020, 30, 1}, {3, 1, 2020, 40, 2}, {4, 1, 2020, 50, 3}});
    const std::string text = tableFileText(d);
    EXPECT_EQ(text.substr(0, 3), " 2 ");
    std::size_t lines = 0;
    for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 3u);
    EXPECT_EQ(text.size(), 3u * 170u);
}

TEST(OutputPath, ReplacesAThreeLetterExtension) {
    EXPECT_EQ(outputPath("/data/", "bldg.utl", "kwh"), "/data/bldg.kwh");
    EXPECT_EQ(outputPath("/data/", "bldg.utl", "dat"), "/data/bldg.dat");
    EXPECT_EQ(outputPath("/data/", "a.b.utl", "thm"), "/data/a.b.thm");
    EXPECT_EQ(outputPath("/data/", "x.dat", "kwh"), "/data/x.kwh");
}

TEST(OutputPath, AppendsWhenThereIsNoThreeLetterExtension) {
    EXPECT_EQ(outputPath("/data/", "bldg", "kwh"), "/data/bldg.kwh");
    EXPECT_EQ(outputPath("/data/", "bldg.ut", "kwh"), "/data/bldg.ut.kwh");
    EXPECT_EQ(outputPath("/data/", "bldg.util", "dat"), "/data/bldg.util.dat");
    EXPECT_EQ(outputPath("/data/", "a.b.c", "dat"), "/data/a.b.c.dat");
    EXPECT_EQ(outputPath("/data/", "abc", "dat"), "/data/abc.dat");
}

TEST(OutputPath, NeverNamesTheEnergyFile) {
    EXPECT_THROW(outputPath("/data/", "x.dat", "dat"), OmbrixError);
    EXPECT_THROW(outputPath("/data/", "", "kwh"), OmbrixError);
    try {
        outputPath("/data/", "bills.kwh", "kwh");
        FAIL() << "no failure";
    } catch (const OmbrixError& e) {
        EXPECT_STREQ(e.what(), "The .kwh file would overwrite the energy file /data/bills.kwh");
    }
}

TEST(StoredModel, FourParameterKeepsTheFifthParameter) {
    ModelState m;
    m.ModelParam5 = 77.0;
    Table table(3, 5);
    storeModel(m, table, fourP(), 8, 1);
    EXPECT_EQ(m.ModelType, "4P");
    EXPECT_EQ(m.ModelParam1.value(), 55);
    EXPECT_EQ(m.ModelParam2.value(), 610);
    EXPECT_EQ(m.ModelParam3.value(), -2);
    EXPECT_EQ(m.ModelParam4.value(), 5);
    EXPECT_EQ(m.ModelParam5.value(), 77);
    EXPECT_EQ(m.ModelNObs.value(), 8);
    EXPECT_EQ(m.ModelRMSE.value(), std::sqrt(3.2));
    const std::vector<double> row{-99, 55, 500, -2, 3};
    for (long c = 1; c <= 5; ++c) {
        EXPECT_EQ(table(1, c), row[static_cast<std::size_t>(c - 1)]) << c;
    }
    EXPECT_TRUE(table.at(2, 1).isEmpty());
}

TEST(StoredModel, FiveParameterFillsEveryParameter) {
    ModelState m;
    Table table(3, 5);
    storeModel(m, table, fiveP(), 36, 3);
    EXPECT_EQ(m.ModelType, "5P");
    EXPECT_EQ(m.ModelParam1.value(), 45.5);
    EXPECT_EQ(m.ModelParam2.value(), 65.25);
    EXPECT_EQ(m.ModelParam3.value(), 1234.5);
    EXPECT_EQ(m.ModelParam4.value(), -12.345);
    EXPECT_EQ(m.ModelParam5.value(), 20);
    EXPECT_EQ(m.ModelCV.value(), 12.25);
    EXPECT_EQ(m.ModelR2.value(), 0.875);
    const std::vector<double> row{45.5, 65.25, 1234.5, -12.345, 20};
    for (long c = 1; c <= 5; ++c) {
        EXPECT_EQ(table(3, c), row[static_cast<std::size_t>(c - 1)]) << c;
    }
    // Read back, the stored model predicts as the fitted one.
    const auto back = storedModel(m);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->predict(30.0), fiveP().predict(30.0));
    EXPECT_EQ(back->predict(80.0), fiveP().predict(80.0));
}

TEST(StoredModel, WithoutAModelTableRowNothingIsStored) {
    ModelState m;
    Table unallocated;
    EXPECT_THROW(storeModel(m, unallocated, fourP(), 8, 1), OmbrixError);
    EXPECT_EQ(m.ModelType, "");
    EXPECT_TRUE(m.ModelParam1.isEmpty());
    EXPECT_FALSE(storedModel(m));
}

namespace {

// Twelve monthly periods of 2021, 365 days together, measured 170 each except 130 in December.
void fillYear(DataState& d) {
    std::vector<Reading> periods;
    for (int k = 2; k <= 13; ++k) {
        Reading r{static_cast<double>(k <= 12 ? k : 1), 1, k <= 12 ? 2021.0 : 2022.0};
        r.temp = 20.0 + 5 * k;
        r.use = k == 13 ? 130 : 170;
        periods.push_back(r);
    }
    fillMerged(d, {1, 1, 2021}, periods);
}

// A flat model of 100 per period, fitted to 10 observations with an RMSE of 10.
void storeFlatModel(ModelState& m, double level) {
    Fit4PResult f;
    f.Xcp = 50;
    f.b1 = level;
    f.CV = 9.5;
    f.RMSE = 10;
    f.R2 = 0.456;
    Table table(3, 5);
    storeModel(m, table, fourParameterModel(f), 10, 1);
}

}  // namespace

TEST(Nac, AnnualisesToAYearOf365AndAQuarterDays) {
    DataState d;
    fillYear(d);
    ModelState m;
    storeFlatModel(m, 100);
    const NacTotals t = normalizedConsumption(d, m, 9, 4, 10);
    EXPECT_EQ(t.A, 2000);
    EXPECT_EQ(t.Q, 1200);
    EXPECT_EQ(t.D, 365);
    EXPECT_EQ(t.m, 12);
    EXPECT_NEAR(t.AC, 2001.3698630136987, 1e-10);
    // 1.96 · 10 · √((1 + 2/10) · 12) · 365.25 / 365.
    EXPECT_NEAR(t.U, 74.42771356069943, 1e-10);
    EXPECT_NEAR(t.P, 6.198064213930023, 1e-10);
    EXPECT_EQ(d.DataTable(5, 10), 100);
    EXPECT_EQ(nacReportLines(m, t),
              (std::vector<std::string>{
                  "Pre-retrofit model: 4P   N =  10    R2 = 0.46   CV-RMSE = 9.5%",
                  "  Annual Consumption = 2,001  Normalized Annual Consumption = 1,201 +- 74.4 "
                  "(6.2%)"}));
}

TEST(Nac, MissingRowsAreSkippedButMoveThePreviousDate) {
    DataState d;
    fillYear(d);
    d.DataTable.at(3, 9) = -99.0;  // April 1: no temperature (31 days of March)
    d.DataTable.at(7, 4) = -99.0;  // August 1: no energy (31 days of July)
    ModelState m;
    storeFlatModel(m, 100);
    const NacTotals t = normalizedConsumption(d, m, 9, 4, 10);
    EXPECT_EQ(t.D, 365 - 31 - 31);
    EXPECT_EQ(t.m, 10);
    EXPECT_EQ(t.A, 2000 - 340);
    EXPECT_EQ(d.DataTable(3, 10), -99);
    EXPECT_EQ(d.DataTable(7, 10), -99);
    EXPECT_EQ(d.DataTable(4, 10), 100);
}

TEST(Nac, NonPositiveConsumptionHasNoUncertainty) {
    DataState d;
    fillYear(d);
    ModelState m;
    storeFlatModel(m, 0);
    const NacTotals zero = normalizedConsumption(d, m, 9, 4, 10);
    EXPECT_EQ(zero.NAC, 0);
    EXPECT_EQ(zero.U, 0);
    EXPECT_EQ(zero.P, 0);
    storeFlatModel(m, -50);
    const NacTotals negative = normalizedConsumption(d, m, 9, 4, 10);
    EXPECT_LT(negative.NAC, 0);
    EXPECT_EQ(negative.U, 0);
    EXPECT_EQ(nacReportLines(m, negative)[1],
              "  Annual Consumption = 2,001  Normalized Annual Consumption = -600 +- 0.0 (0.0%)");
}

TEST(Nac, WithoutAStoredModelNothingIsApplied) {
    DataState d;
    fillYear(d);
    d.DataTable.at(2, 10) = 1234.0;
    ModelState m;
    const NacTotals t = normalizedConsumption(d, m, 9, 4, 10);
    EXPECT_EQ(t.A, 0);
    EXPECT_EQ(t.D, 0);
    EXPECT_EQ(t.AC, 0);
    EXPECT_EQ(t.NAC, 0);
    EXPECT_EQ(d.DataTable(2, 10), 1234);
    EXPECT_EQ(d.DataTable(1, 10), -99);
    EXPECT_EQ(nacReportLines(m, t),
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
    EXPECT_DOUBLE_EQ(t.Q, 1357.95 + 1334.5);
}
