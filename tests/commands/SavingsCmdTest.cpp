#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/Dispatch.h"
#include "commands/SavingsCmd.h"
#include "model/MergedTable.h"
#include "platform/Errors.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::Box;
using ombrix::test::fillMerged;
using ombrix::test::Harness;
using ombrix::test::readFile;
using ombrix::test::Reading;
using ombrix::test::TempDir;
namespace fs = std::filesystem;

namespace {

// Eight baseline months from E = 610 − 2·T + 5·(T − 55)+ with residuals 2, −2, −2, 2 on the
// four coldest (orthogonal to the design at 55, so the 4P fit returns the line exactly with
// SSE 16 over 5 degrees of freedom), then four months after the retrofit, one without a
// temperature.
std::vector<Reading> handWorkedPeriods() {
    return {
        {2, 1, 2020, 20, 572},
        {3, 1, 2020, 30, 548},
        {4, 1, 2020, 40, 528},
        {5, 1, 2020, 50, 512},
        {6, 1, 2020, 60, 515},
        {7, 1, 2020, 70, 545},
        {8, 1, 2020, 80, 575},
        {9, 1, 2020, 90, 605},
        {10, 1, 2020, 45, 480, 0, 0, 0},  // predicted 520, 30 days
        {11, 1, 2020, -99, 500, 0, 0, 0},
        {12, 1, 2020, 65, 500, 0, 0, 0},  // predicted 530, 30 days
        {1, 1, 2021, 85, 545, 0, 0, 0},   // predicted 590, 31 days
    };
}

void loadHandWorked(Harness& h, const TempDir& dir, const std::string& file = "bldg.utl") {
    fillMerged(h.session.data, {1, 1, 2020}, handWorkedPeriods());
    h.session.data.EnergyDir = dir.path().string() + "/";
    h.session.data.EnergyFile = file;
}

const std::vector<std::string> handWorkedReport{
    "Pre-retrofit model: 4P   N =  8    R2 = 1.00   CV-RMSE = 0.3%   Xcp = 55.00   Ycp = "
    "500.00   LS = -2.00   RS = 3.00",
    "Pre-retrofit model: Elec Use = 500.00  +  2.00(55.00 - T)+  +  3.00(T - 55.00)+",
    // S = 40 + 30 + 45; U = 1.96·√3.2·√(1.25·3) = 1.96·√12 = 6.79; P = 6.79/115 = 5.9 %.
    "Total Savings = 115 +- 6.8 (5.9%)  after  91  days.",
};

std::string spaces(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, p - start));
        start = p + 2;
    }
    EXPECT_EQ(start, text.size()) << "text after the last line end";
    return lines;
}

// Leftovers of an interrupted write in a folder.
int partFiles(const fs::path& dir) {
    int n = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().string().find(".part") != std::string::npos) {
            ++n;
        }
    }
    return n;
}

// Fails on the first progress update of the second fit of a calculation.
class FailingSecondFitUi : public ombrix::test::FakeUi {
  public:
    void progressPaint(double fraction) override {
        if (progressShows == 2) {
            throw OmbrixError("Out of memory in the search");
        }
        FakeUi::progressPaint(fraction);
    }
};

}  // namespace

TEST(SavingsCmd, HandWorkedTableGivesTheReportFilesAndModel) {
    Harness h;
    TempDir dir;
    loadHandWorked(h, dir);
    const auto generation = h.graph.generation();
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);

    EXPECT_TRUE(h.ui.boxes.empty());
    EXPECT_EQ(h.status.lines(), handWorkedReport);
    EXPECT_EQ(
        readFile(dir.path() / "bldg.kwh"),
        handWorkedReport[0] + "\r\n" + handWorkedReport[1] + "\r\n" + handWorkedReport[2] + "\r\n");

    const auto table = linesOf(readFile(dir.path() / "bldg.dat"));
    ASSERT_EQ(table.size(), 12u);
    EXPECT_EQ(table[0], " 2 " + spaces(11) + " 1 " + spaces(11) + " 2020 " + spaces(8) + " 572 " +
                            spaces(9) + (" 0 " + spaces(11)) + (" 0 " + spaces(11)) +
                            (" 1 " + spaces(11)) + (" 1 " + spaces(11)) + "20.000" + spaces(8) +
                            "572.000" + spaces(7) + "-99.000" + spaces(7) + "-99.000" + spaces(7));
    EXPECT_EQ(table[8], " 10 " + spaces(10) + " 1 " + spaces(11) + " 2020 " + spaces(8) + " 480 " +
                            spaces(9) + (" 0 " + spaces(11)) + (" 0 " + spaces(11)) +
                            (" 0 " + spaces(11)) + (" 1 " + spaces(11)) + "45.000" + spaces(8) +
                            "520.000" + spaces(7) + "-99.000" + spaces(7) + "-99.000" + spaces(7));
    EXPECT_EQ(table[9].substr(112, 28), "-99.000" + spaces(7) + "-99.000" + spaces(7));
    EXPECT_EQ(table[11].substr(126, 14), "590.000" + spaces(7));

    const DataState& d = h.session.data;
    EXPECT_EQ(d.DataTable(1, 10), 572);  // baseline rows keep their measured value
    EXPECT_EQ(d.DataTable(10, 10), -99);
    EXPECT_NEAR(d.DataTable(11, 10), 530, 1e-9);
    const std::vector<double> row{-99, 55, 500, -2, 3};
    for (long c = 1; c <= 5; ++c) {
        EXPECT_NEAR(d.ModelTable(1, c), row[static_cast<std::size_t>(c - 1)], 1e-9) << c;
        EXPECT_EQ(d.ModelTable(2, c), -99);
    }
    const ModelState& m = h.session.model;
    EXPECT_EQ(m.ModelType, "4P");
    EXPECT_NEAR(m.ModelParam1.value(), 55, 1e-12);
    EXPECT_NEAR(m.ModelParam2.value(), 610, 1e-9);
    EXPECT_EQ(m.ModelNObs.value(), 8);
    EXPECT_NEAR(m.ModelRMSE.value(), std::sqrt(3.2), 1e-12);
    EXPECT_NEAR(m.ModelR2.value(), 1 - 16.0 / 7316, 1e-12);
    EXPECT_EQ(m.ModelN, 8);

    EXPECT_EQ(d.PrePostCol, 7);
    EXPECT_EQ(d.PreColor, kBlack);
    EXPECT_EQ(d.PostColor, kBlue);
    EXPECT_GT(h.graph.generation(), generation);  // the graph area was cleared for the graph
    EXPECT_FALSE(h.ui.busy);
    EXPECT_EQ(h.ui.progressShows, 2);
    EXPECT_EQ(h.ui.progressUnloads, 2);
    EXPECT_EQ(partFiles(dir.path()), 0);
}

TEST(SavingsCmd, PreconditionsAreTestedInOrder) {
    Harness h;
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    h.session.data.DataRows = 5;
    runCommand(h.session, h.services, CommandId::CalcElecDemSavingsCmd);
    h.session.data.EnergyOpen = true;
    runCommand(h.session, h.services, CommandId::CalcTherUseSavingsCmd);
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{
                  {"Error", "Must open both energy and weather files before calculating savings."},
                  {"Error", "Must open energy file before calculating savings."},
                  {"Error", "Must open weather file before calculating savings."}}));
    EXPECT_EQ(h.session.data.MsgText, "Must open weather file before calculating savings.");
    EXPECT_EQ(h.status.changes(), 0u);
    EXPECT_FALSE(h.ui.busy);
    EXPECT_EQ(h.ui.busyOn, 3);
    EXPECT_EQ(h.ui.progressShows, 0);
}

TEST(SavingsCmd, WithoutBaselinePeriodsEndsAfterOneMessage) {
    Harness h;
    TempDir dir;
    loadHandWorked(h, dir);
    for (long i = 1; i <= 8; ++i) {
        h.session.data.DataTable.at(i, 7) = 0.0;  // every period after the retrofit
    }
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error", "No data is available to model."}}));
    EXPECT_EQ(h.status.changes(), 0u);
    EXPECT_TRUE(fs::is_empty(dir.path()));
    EXPECT_EQ(h.session.model.ModelType, "");
    EXPECT_EQ(h.session.data.ModelTable(1, 2), -99);
    EXPECT_EQ(h.session.data.DataTable(9, 10), -99);
    EXPECT_FALSE(h.ui.busy);
    EXPECT_FALSE(h.ui.progressVisible);
}

TEST(SavingsCmd, FourParameterFailureEndsWithoutReport) {
    Harness h;
    TempDir dir;
    loadHandWorked(h, dir);
    for (long i = 1; i <= 8; ++i) {
        h.session.data.DataTable.at(i, 4) = 500.0;  // constant baseline
    }
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{{"Error", "\"Cannot fit a model to values that are all equal\""}}));
    EXPECT_EQ(h.session.data.MsgText, "\"Cannot fit a model to values that are all equal\"");
    EXPECT_EQ(h.ui.progressShows, 1);  // the five-parameter fit never started
    EXPECT_EQ(h.status.changes(), 0u);
    EXPECT_TRUE(fs::is_empty(dir.path()));
    EXPECT_EQ(h.session.model.ModelType, "");
}

TEST(SavingsCmd, FiveParameterFailureGoesOnWithFourParameters) {
    FailingSecondFitUi ui;
    Harness h;
    Services services{ui, h.graph, h.status, h.dialogs, h.help, h.host};
    TempDir dir;
    loadHandWorked(h, dir);
    Savings(h.session, services, 9, 4, 10, 7);
    EXPECT_EQ(ui.boxes, (std::vector<Box>{{"Error", "\"Out of memory in the search\""}}));
    EXPECT_EQ(h.status.lines(), handWorkedReport);
    EXPECT_TRUE(fs::exists(dir.path() / "bldg.kwh"));
    EXPECT_TRUE(fs::exists(dir.path() / "bldg.dat"));
    EXPECT_EQ(h.session.model.ModelType, "4P");
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_FALSE(ui.busy);
}

TEST(SavingsCmd, EnergyFileNamedLikeTheTableIsNeverOverwritten) {
    Harness h;
    TempDir dir;
    const auto energy = dir.write("x.dat", "original bills\r\n");
    loadHandWorked(h, dir, "x.dat");
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    ASSERT_EQ(h.ui.boxes.size(), 1u);
    EXPECT_EQ(h.ui.boxes[0].title, "Error");
    EXPECT_EQ(h.ui.boxes[0].text,
              "\"The .dat file would overwrite the energy file " + energy.string() + "\"");
    EXPECT_EQ(readFile(energy), "original bills\r\n");
    EXPECT_FALSE(fs::exists(dir.path() / "x.kwh"));  // nothing at all is written
    EXPECT_EQ(h.status.changes(), 0u);
    EXPECT_EQ(h.session.model.ModelType, "");
    EXPECT_EQ(h.session.data.ModelTable(1, 2), -99);
}

TEST(SavingsCmd, EnergyFileWithoutExtensionGetsOnesAppended) {
    Harness h;
    TempDir dir;
    dir.write("bldg", "bills");
    loadHandWorked(h, dir, "bldg");
    for (long i = 1; i <= 12; ++i) {
        h.session.data.DataTable.at(i, 5) = h.session.data.DataTable(i, 4) / 10;  // demand
    }
    runCommand(h.session, h.services, CommandId::CalcElecDemSavingsCmd);
    EXPECT_TRUE(fs::exists(dir.path() / "bldg.kwd"));
    EXPECT_TRUE(fs::exists(dir.path() / "bldg.dat"));
    EXPECT_EQ(readFile(dir.path() / "bldg"), "bills");
}

TEST(SavingsCmd, ReportThatCannotBeCreatedEndsWithAnError) {
    Harness h;
    TempDir dir;
    loadHandWorked(h, dir);
    h.session.data.EnergyDir = (dir.path() / "gone").string() + "/";
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    ASSERT_EQ(h.ui.boxes.size(), 1u);
    EXPECT_EQ(h.ui.boxes[0].title, "Error");
    EXPECT_EQ(h.ui.boxes[0].text, "\"Cannot create file " + (dir.path() / "gone").string() +
                                      "/bldg.kwh: No such file or directory\"");
    EXPECT_EQ(h.status.changes(), 0u);
    EXPECT_EQ(h.session.model.ModelType, "");
    EXPECT_NEAR(h.session.data.DataTable(9, 10), 520, 1e-9);  // predictions made before stay
    EXPECT_FALSE(h.ui.busy);
}

TEST(SavingsCmd, TableThatCannotBeWrittenLeavesNoPartialFile) {
    Harness h;
    TempDir dir;
    fs::create_directory(dir.path() / "bldg.dat");  // in the way of the table file
    loadHandWorked(h, dir);
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    ASSERT_EQ(h.ui.boxes.size(), 1u);
    EXPECT_EQ(h.ui.boxes[0].title, "Error");
    EXPECT_EQ(h.ui.boxes[0].text.rfind(
                  "\"Cannot write file " + (dir.path() / "bldg.dat").string() + ": ", 0),
              0u)
        << h.ui.boxes[0].text;
    EXPECT_TRUE(fs::is_directory(dir.path() / "bldg.dat"));
    EXPECT_EQ(partFiles(dir.path()), 0);
    // The report came first and is complete, as is the stored model.
    EXPECT_EQ(h.status.lines(), handWorkedReport);
    EXPECT_EQ(linesOf(readFile(dir.path() / "bldg.kwh")), handWorkedReport);
    EXPECT_EQ(h.session.model.ModelType, "4P");
    EXPECT_EQ(h.session.model.ModelNObs.value(), 8);
}

TEST(SavingsCmd, OldReportIsReplacedWhole) {
    Harness h;
    TempDir dir;
    dir.write("bldg.kwh", std::string(5000, 'x'));
    dir.write("bldg.dat", std::string(50000, 'y'));
    loadHandWorked(h, dir);
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    EXPECT_EQ(linesOf(readFile(dir.path() / "bldg.kwh")), handWorkedReport);
    EXPECT_EQ(linesOf(readFile(dir.path() / "bldg.dat")).size(), 12u);
}

TEST(SavingsCmd, FiveParameterBaselineIsChosenForThermalUse) {
    Harness h;
    TempDir dir;
    // Three years of monthly readings, x1 and x2 at the third and sixth ninth of 20..90 °F.
    const double s = 70.0 / 9.0;
    const double x1 = 20 + 3 * s;
    const double x2 = 20 + 6 * s;
    std::vector<Reading> periods;
    for (int k = 1; k <= 40; ++k) {
        Reading r{static_cast<double>((k % 12) + 1), 1, 2015.0 + (k / 12)};
        r.temp = 20.0 + 2.0 * ((k * 7) % 36);
        r.thermal = 400.0 - 5.0 * (r.temp <= x1 ? r.temp - x1 : 0.0) +
                    8.0 * (r.temp > x2 ? r.temp - x2 : 0.0);
        r.thermFlag = k <= 36 ? 1 : 0;
        if (k > 36) {
            r.thermal -= 25.0;  // the retrofit saves 25 a month
        }
        periods.push_back(r);
    }
    fillMerged(h.session.data, {1, 1, 2015}, periods);
    h.session.data.EnergyDir = dir.path().string() + "/";
    h.session.data.EnergyFile = "bldg.utl";
    runCommand(h.session, h.services, CommandId::CalcTherUseSavingsCmd);

    EXPECT_TRUE(h.ui.boxes.empty());
    ASSERT_EQ(h.status.lines().size(), 3u);
    EXPECT_EQ(h.status.lines()[0],
              "Pre-retrofit model: 5P   N =  36    R2 = 1.00   CV-RMSE = 0.0%   Xcp1 = 43.33   "
              "Xcp2 = 66.67   Ycp = 400.00   LS = -5.00   RS = 8.00");
    EXPECT_EQ(h.status.lines()[1],
              "Pre-retrofit model: Thermal Engy = 400.00  +  5.00(43.33 - T)+  +  8.00(T - "
              "66.67)+");
    // Four months of 25; January to April 2018 are 31 + 28 + 31 + 30 days.
    EXPECT_EQ(h.status.lines()[2], "Total Savings = 100 +- 0.0 (0.0%)  after  120  days.");
    EXPECT_EQ(linesOf(readFile(dir.path() / "bldg.thm")), h.status.lines());
    EXPECT_EQ(h.session.data.PrePostCol, 8);
    EXPECT_EQ(h.session.data.ModelTable(3, 1), x1);
    EXPECT_EQ(h.session.data.ModelTable(3, 2), x2);
    EXPECT_EQ(h.session.data.ModelTable(1, 1), -99);
    EXPECT_EQ(h.session.model.ModelType, "5P");
    EXPECT_EQ(h.session.model.ModelParam1.value(), x1);
}

TEST(NacCmd, AppliesTheStoredModelToEveryPeriod) {
    Harness h;
    TempDir dir;
    loadHandWorked(h, dir);
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    h.ui.boxes.clear();
    h.session.data.PreColor = kWhite;
    runCommand(h.session, h.services, CommandId::CalcElecNACCmd);
    EXPECT_TRUE(h.ui.boxes.empty());
    const DataState& d = h.session.data;
    EXPECT_NEAR(d.DataTable(1, 10), 570, 1e-9);  // a prediction now, not the measured 572
    EXPECT_EQ(d.DataTable(10, 10), -99);
    EXPECT_EQ(d.PreColor, kBlack);
    // Eleven periods with data: measured 4,400 + 1,525 and predicted 4,400 + 1,640 over
    // 366 − 31 days, scaled to 365.25 days; U = 1.96·√3.2·√(1.25·11)·365.25/335 = 14.18.
    ASSERT_EQ(h.status.lines().size(), 2u);
    EXPECT_EQ(h.status.lines()[0], "Pre-retrofit model: 4P   N =  8    R2 = 1.00   CV-RMSE = 0.3%");
    EXPECT_EQ(h.status.lines()[1],
              "  Annual Consumption = 6,460  Normalized Annual Consumption = 6,585 +- 14.2 "
              "(0.2%)");
}

TEST(NacCmd, BeforeAnySavingsReportsZeros) {
    Harness h;
    TempDir dir;
    loadHandWorked(h, dir);
    runCommand(h.session, h.services, CommandId::CalcThermalNACCmd);
    EXPECT_TRUE(h.ui.boxes.empty());
    EXPECT_EQ(h.status.lines(),
              (std::vector<std::string>{
                  "Pre-retrofit model:    N =    R2 = 0.00   CV-RMSE = 0.0%",
                  "  Annual Consumption = 0  Normalized Annual Consumption = 0 +- 0.0 (0.0%)"}));
    EXPECT_EQ(h.session.data.DataTable(1, 12), -99);
    EXPECT_FALSE(h.ui.busy);
}

TEST(NacCmd, FailureIsReportedAndKeepsWhatWasFilled) {
    Harness h;
    TempDir dir;
    loadHandWorked(h, dir);
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    h.ui.boxes.clear();
    const auto statusBefore = h.status.lines();
    h.session.data.EnergyData.at(3, 2) = 31.0;  // April 31
    for (long i = 1; i <= 12; ++i) {
        h.session.data.DataTable.at(i, 10) = -1.0;
    }
    runCommand(h.session, h.services, CommandId::CalcElecNACCmd);
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{{"Error", "\"Invalid date 4/31/2020 in energy row 3\""}}));
    EXPECT_EQ(h.session.data.MsgText, "\"Invalid date 4/31/2020 in energy row 3\"");
    EXPECT_NEAR(h.session.data.DataTable(2, 10), 550, 1e-9);
    EXPECT_EQ(h.session.data.DataTable(3, 10), -1);
    EXPECT_EQ(h.status.lines(), statusBefore);
    EXPECT_FALSE(h.ui.busy);
}
