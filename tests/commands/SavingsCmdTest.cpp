#include <gtest/gtest.h>

#include <algorithm>
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
using ombrix::test::Harness;
using ombrix::test::readFile;
using ombrix::test::TempDir;
namespace fs = std::filesystem;

namespace {

// Eight baseline months from E = 610 − 2·T + 5·(T − 55)+ with residuals 2, −2, −2, 2 on the
// four coldest: orthogonal to the design at 55, so the 4P fit returns the line exactly with
// SSE 16 over 5 degrees of freedom. Then four months after the retrofit, one without a
// temperature.
void loadHandWorked(Harness& h, const TempDir& dir, const std::string& file = "bldg.utl") {
    ombrix::test::fillMerged(h.session.data, {1, 1, 2020},
                             {{2, 1, 2020, 20, 572},
                              {3, 1, 2020, 30, 548},
                              {4, 1, 2020, 40, 528},
                              {5, 1, 2020, 50, 512},
                              {6, 1, 2020, 60, 515},
                              {7, 1, 2020, 70, 545},
                              {8, 1, 2020, 80, 575},
                              {9, 1, 2020, 90, 605},
                              {10, 1, 2020, 45, 480, 0, 0, 0},  // predicted 520, 30 days
                              {11, 1, 2020, -99, 500, 0, 0, 0},
                              {12, 1, 2020, 65, 500, 0, 0, 0},   // predicted 530, 30 days
                              {1, 1, 2021, 85, 545, 0, 0, 0}});  // predicted 590, 31 days
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

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (auto p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, p - start));
        start = p + 2;
    }
    EXPECT_EQ(start, text.size()) << "text after the last line end";
    return lines;
}

// Names in a folder, so a test sees every file a calculation left.
std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(SavingsCmd, HandWorkedTableGivesTheReportFilesAndModel) {
    Harness h;
    TempDir dir;
    loadHandWorked(h, dir);
    const auto generation = h.graph.generation();
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);

    EXPECT_TRUE(h.ui.boxes.empty()) << (h.ui.boxes.empty() ? "" : h.ui.boxes[0].text);
    EXPECT_EQ(h.status.lines(), handWorkedReport);
    EXPECT_EQ(linesOf(readFile(dir.path() / "bldg.kwh")), handWorkedReport);
    const auto table = linesOf(readFile(dir.path() / "bldg.dat"));
    ASSERT_EQ(table.size(), 12u);
    const auto zone = [](const std::string& v) { return v + std::string(14 - v.size(), ' '); };
    EXPECT_EQ(table[8], zone(" 10 ") + zone(" 1 ") + zone(" 2020 ") + zone(" 480 ") + zone(" 0 ") +
                            zone(" 0 ") + zone(" 0 ") + zone(" 1 ") + zone("45.000") +
                            zone("520.000") + zone("-99.000") + zone("-99.000"));
    EXPECT_EQ(table[9].substr(126, 14), zone("-99.000"));  // no temperature, no prediction
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"bldg.dat", "bldg.kwh"}));

    const DataState& d = h.session.data;
    EXPECT_EQ(d.DataTable(1, 10), 572);  // baseline rows keep their measured value
    const std::vector<double> row{-99, 55, 500, -2, 3};
    for (long c = 1; c <= 5; ++c) {
        EXPECT_NEAR(d.ModelTable(1, c), row[static_cast<std::size_t>(c - 1)], 1e-9) << c;
        EXPECT_EQ(d.ModelTable(2, c), -99);
    }
    EXPECT_EQ(h.session.model.ModelType, "4P");
    EXPECT_NEAR(h.session.model.ModelParam2.value(), 610, 1e-9);
    EXPECT_EQ(h.session.model.ModelNObs.value(), 8);
    EXPECT_NEAR(h.session.model.ModelRMSE.value(), std::sqrt(3.2), 1e-12);
    EXPECT_EQ(d.PreColor, kBlack);
    EXPECT_EQ(d.PostColor, kBlue);
    EXPECT_GT(h.graph.generation(), generation);  // the graph area was cleared for the graph
    EXPECT_FALSE(h.ui.busy);
    EXPECT_EQ(h.ui.progressUnloads, 2);
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
}

TEST(SavingsCmd, FailedFourParameterFitEndsWithoutReport) {
    for (const bool noBaseline : {true, false}) {
        Harness h;
        TempDir dir;
        loadHandWorked(h, dir);
        for (long i = 1; i <= 8; ++i) {
            h.session.data.DataTable.at(i, noBaseline ? 7 : 4) = noBaseline ? 0.0 : 500.0;
        }
        runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
        const Box expected =
            noBaseline ? Box{"Error", "No data is available to model."}
                       : Box{"Error", "\"Cannot fit a model to values that are all equal\""};
        EXPECT_EQ(h.ui.boxes, std::vector<Box>{expected});  // the 5P fit does not run
        EXPECT_EQ(h.status.changes(), 0u);
        EXPECT_TRUE(fs::is_empty(dir.path()));
        EXPECT_EQ(h.session.model.ModelType, "");
        EXPECT_EQ(h.session.data.ModelTable(1, 2), -99);
        EXPECT_FALSE(h.ui.busy);
    }
}

TEST(SavingsCmd, FailedFiveParameterFitGoesOnWithFourParameters) {
    // Fails on the first progress update of the second fit.
    struct FailingUi : ombrix::test::FakeUi {
        void progressPaint(double fraction) override {
            if (progressShows == 2) {
                throw OmbrixError("Out of memory in the search");
            }
            FakeUi::progressPaint(fraction);
        }
    } ui;
    Harness h;
    Services services{ui, h.graph, h.status, h.dialogs, h.help, h.host};
    TempDir dir;
    loadHandWorked(h, dir);
    Savings(h.session, services, 9, 4, 10, 7);
    EXPECT_EQ(ui.boxes, (std::vector<Box>{{"Error", "\"Out of memory in the search\""}}));
    EXPECT_EQ(h.status.lines(), handWorkedReport);
    EXPECT_EQ(h.session.model.ModelType, "4P");
    EXPECT_FALSE(ui.progressVisible);
}

TEST(SavingsCmd, EnergyFileNamedLikeTheTableIsNeverOverwritten) {
    Harness h;
    TempDir dir;
    const auto energy = dir.write("x.dat", "original bills\r\n");
    loadHandWorked(h, dir, "x.dat");
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    EXPECT_EQ(h.ui.boxes, (std::vector<Box>{{"Error",
                                             "\"The .dat file would overwrite the energy "
                                             "file " +
                                                 energy.string() + "\""}}));
    EXPECT_EQ(readFile(energy), "original bills\r\n");
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"x.dat"});  // nothing written
    EXPECT_EQ(h.status.changes(), 0u);
    EXPECT_EQ(h.session.model.ModelType, "");
}

TEST(SavingsCmd, ReportThatCannotBeCreatedEndsWithAnError) {
    Harness h;
    TempDir dir;
    loadHandWorked(h, dir);
    const std::string folder = (dir.path() / "gone").string();
    h.session.data.EnergyDir = folder + "/";
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{{"Error", "\"Cannot create file " + folder +
                                              "/bldg.kwh: No such file or directory\""}}));
    EXPECT_EQ(h.status.changes(), 0u);
    EXPECT_EQ(h.session.model.ModelType, "");
    EXPECT_NEAR(h.session.data.DataTable(9, 10), 520, 1e-9);  // predictions made before stay
}

TEST(SavingsCmd, TableThatCannotBeWrittenLeavesNoPartialFile) {
    Harness h;
    TempDir dir;
    fs::create_directory(dir.path() / "bldg.dat");  // in the way of the table file
    loadHandWorked(h, dir);
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    ASSERT_EQ(h.ui.boxes.size(), 1u);
    EXPECT_EQ(
        h.ui.boxes[0].text.rfind("\"Cannot write file " + dir.path().string() + "/bldg.dat: ", 0),
        0u)
        << h.ui.boxes[0].text;
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"bldg.dat", "bldg.kwh"}));
    EXPECT_TRUE(fs::is_directory(dir.path() / "bldg.dat"));
    // The report came first and is complete, as is the stored model.
    EXPECT_EQ(h.status.lines(), handWorkedReport);
    EXPECT_EQ(h.session.model.ModelNObs.value(), 8);
}

TEST(SavingsCmd, FiveParameterBaselineIsChosenForThermalUse) {
    Harness h;
    TempDir dir;
    // Three years of readings from a 5P model with change points at the third and sixth ninth
    // of 20..90 °F, then four months that each save 25.
    const double x1 = 20 + 3 * (70.0 / 9), x2 = 20 + 6 * (70.0 / 9);
    std::vector<ombrix::test::Reading> periods;
    for (int k = 1; k <= 40; ++k) {
        const double t = 20.0 + 2.0 * ((k * 7) % 36);
        const double e = 400 - 5 * (t <= x1 ? t - x1 : 0) + 8 * (t > x2 ? t - x2 : 0);
        periods.push_back({(k % 12) + 1.0, 1, 2015.0 + k / 12, t, 0, 0, k <= 36 ? e : e - 25, 1,
                           k <= 36 ? 1.0 : 0.0});
    }
    ombrix::test::fillMerged(h.session.data, {1, 1, 2015}, periods);
    h.session.data.EnergyDir = dir.path().string() + "/";
    h.session.data.EnergyFile = "bldg.utl";
    runCommand(h.session, h.services, CommandId::CalcTherUseSavingsCmd);

    EXPECT_TRUE(h.ui.boxes.empty()) << (h.ui.boxes.empty() ? "" : h.ui.boxes[0].text);
    EXPECT_EQ(h.status.lines(),
              (std::vector<std::string>{
                  "Pre-retrofit model: 5P   N =  36    R2 = 1.00   CV-RMSE = 0.0%   Xcp1 = 43.33   "
                  "Xcp2 = 66.67   Ycp = 400.00   LS = -5.00   RS = 8.00",
                  "Pre-retrofit model: Thermal Engy = 400.00  +  5.00(43.33 - T)+  +  8.00(T - "
                  "66.67)+",
                  // January to April 2018: 31 + 28 + 31 + 30 days.
                  "Total Savings = 100 +- 0.0 (0.0%)  after  120  days."}));
    EXPECT_EQ(linesOf(readFile(dir.path() / "bldg.thm")), h.status.lines());
    EXPECT_EQ(h.session.data.PrePostCol, 8);
    EXPECT_EQ(h.session.data.ModelTable(3, 1), x1);
    EXPECT_EQ(h.session.data.ModelTable(3, 2), x2);
    EXPECT_EQ(h.session.model.ModelParam1.value(), x1);
}

TEST(NacCmd, AppliesTheStoredModelToEveryPeriod) {
    Harness h;
    TempDir dir;
    loadHandWorked(h, dir);
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    h.session.data.PreColor = kWhite;
    runCommand(h.session, h.services, CommandId::CalcElecNACCmd);
    EXPECT_TRUE(h.ui.boxes.empty()) << (h.ui.boxes.empty() ? "" : h.ui.boxes[0].text);
    EXPECT_NEAR(h.session.data.DataTable(1, 10), 570, 1e-9);  // a prediction, not the 572
    EXPECT_EQ(h.session.data.DataTable(10, 10), -99);
    EXPECT_EQ(h.session.data.PreColor, kBlack);
    // Eleven periods with data: measured 4,400 + 1,525, predicted 4,400 + 1,640, over 366 − 31
    // days, scaled to 365.25; U = 1.96·√3.2·√(1.25·11)·365.25/335 = 14.18.
    EXPECT_EQ(h.status.lines(),
              (std::vector<std::string>{
                  "Pre-retrofit model: 4P   N =  8    R2 = 1.00   CV-RMSE = 0.3%",
                  "  Annual Consumption = 6,460  Normalized Annual Consumption = 6,585 +- 14.2 "
                  "(0.2%)"}));
}

TEST(NacCmd, FailureIsReportedAndKeepsWhatWasFilled) {
    Harness h;
    TempDir dir;
    loadHandWorked(h, dir);
    runCommand(h.session, h.services, CommandId::CalcElecUseSavingsCmd);
    h.session.data.EnergyData.at(3, 2) = 31.0;  // April 31
    for (long i = 1; i <= 12; ++i) {
        h.session.data.DataTable.at(i, 10) = -1.0;
    }
    runCommand(h.session, h.services, CommandId::CalcElecNACCmd);
    EXPECT_EQ(h.ui.boxes,
              (std::vector<Box>{{"Error", "\"Invalid date 4/31/2020 in energy row 3\""}}));
    EXPECT_NEAR(h.session.data.DataTable(2, 10), 550, 1e-9);
    EXPECT_EQ(h.session.data.DataTable(3, 10), -1);
    EXPECT_EQ(h.status.lines(), handWorkedReport);
    EXPECT_FALSE(h.ui.busy);
}
