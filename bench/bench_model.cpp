// The change-point fits and a whole savings calculation, per building: a portfolio run repeats
// them for thousands of buildings.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "commands/SavingsCmd.h"
#include "data/Merge.h"
#include "model/Fits.h"
#include "platform/Canvas.h"

namespace {

using namespace ombrix;

// A user interface that shows nothing; it counts the boxes, and the failures among them.
class QuietUi : public Ui {
  public:
    void messageBox(std::string_view, std::string_view title) override {
        ++boxes;
        errors += title == "Error" ? 1 : 0;
    }
    void setBusy(bool) override {}
    void progressCaption(std::string_view) override {}
    void progressShow() override {}
    void progressPaint(double) override {}
    void progressUnload() override {}
    void processEvents() override {}
    int boxes = 0;
    int errors = 0;  // boxes titled "Error": a calculation that stopped
};

class NoDialogs : public FileDialogs {
  public:
    void showOpen(std::string_view, DialogExchange&) override {}
};

class NoHelp : public HelpEngine {
  public:
    void winHelp(long, std::string_view, HelpCommand, long, std::string_view) override {}
};

class NoHost : public Host {
  public:
    void showEditor() override {}
    void printMainWindow() override {}
    void exitNow() override {}
};

// Three years of monthly bills of a heated and cooled building, then one year after a retrofit.
struct Building {
    std::vector<double> temp, use, flag;
};

Building building(int baseline, int after) {
    Building b;
    std::mt19937 rng(12345);
    std::normal_distribution<double> noise(0.0, 40.0);
    for (int k = 0; k < baseline + after; ++k) {
        const double t = 52.0 - 25.0 * std::cos(2.0 * 3.14159265358979 * k / 12.0);
        double e = 1500.0 + 28.0 * std::max(0.0, 48.0 - t) + 41.0 * std::max(0.0, t - 66.0);
        e += noise(rng);
        b.temp.push_back(t);
        b.use.push_back(k < baseline ? e : 0.85 * e);
        b.flag.push_back(k < baseline ? 1.0 : 0.0);
    }
    return b;
}

ModelState inputSet(const Building& b, int n) {
    ModelState m;
    resetModelInput(m, n);
    for (long i = 1; i <= n; ++i) {
        const double t = b.temp[static_cast<std::size_t>(i - 1)];
        m.ModelX.at(i, 1) = 1.0;
        m.ModelX.at(i, 2) = t;
        m.ModelY.at(i, 1) = b.use[static_cast<std::size_t>(i - 1)];
        m.ModelTMin = i == 1 ? t : std::min(m.ModelTMin, t);
        m.ModelTMax = i == 1 ? t : std::max(m.ModelTMax, t);
    }
    m.ModelN = n;
    return m;
}

void BM_Fit4PAnd5P(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const ModelState m = inputSet(building(n, 0), n);
    QuietUi ui;
    for (auto _ : state) {
        auto four = Fit4P(m, ui);
        auto five = Fit5P(m, ui);
        benchmark::DoNotOptimize(four);
        benchmark::DoNotOptimize(five);
    }
    if (ui.boxes != 0) {
        state.SkipWithError("a fit failed");
    }
}
BENCHMARK(BM_Fit4PAnd5P)->Arg(12)->Arg(36)->Arg(120)->Unit(benchmark::kMicrosecond);

// The whole Calc Elec Use Savings: input set, both fits, predictions, report and table files.
void BM_SavingsCalculation(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("ombrix-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const Building b = building(36, 12);
    const long rows = static_cast<long>(b.temp.size());

    Session s;
    DataState& d = s.data;
    d.EnergyData = Table(rows, 8);
    d.DataTable = Table(rows, 12);
    for (long i = 0; i <= rows; ++i) {
        const long month0 = 11 + i;  // the opening reading on 12/1/2014
        d.EnergyData.at(i, 1) = static_cast<double>(month0 % 12 + 1);
        d.EnergyData.at(i, 2) = 1.0;
        d.EnergyData.at(i, 3) = static_cast<double>(2014 + month0 / 12);
        for (long c = 1; c <= 3; ++c) {
            d.DataTable.at(i, c) = d.EnergyData(i, c);
        }
        if (i == 0) {
            continue;
        }
        const auto k = static_cast<std::size_t>(i - 1);
        d.DataTable.at(i, 4) = b.use[k];
        d.DataTable.at(i, 7) = b.flag[k];
        d.DataTable.at(i, 8) = b.flag[k];
        d.DataTable.at(i, 9) = b.temp[k];
        for (long c = 10; c <= 12; ++c) {
            d.DataTable.at(i, c) = -99.0;
        }
    }
    d.DataRows = rows;
    d.EnergyLastRow = rows;
    d.EnergyOpen = d.WeatherOpen = true;
    // The merged table's time stamps and captions, which the graph of the result needs.
    d.MoCol = 1;
    d.DyCol = 2;
    d.YrCol = 3;
    d.TimeStampKind = 3;
    d.ColNames = TextList(mergedCaptions());
    d.ModelTable = Table(3, 5);
    d.EnergyDir = dir.string() + "/";
    d.EnergyFile = "bldg.utl";

    QuietUi ui;
    NullCanvas canvas;
    StatusText status;
    NoDialogs dialogs;
    NoHelp help;
    NoHost host;
    Services sv{ui, canvas, status, dialogs, help, host};
    for (auto _ : state) {
        Savings(s, sv, 9, 4, 10, 7);
    }
    // The kernel's note on a singular candidate may show; a calculation that stops may not.
    if (ui.errors != 0 || status.lines().size() != 3) {
        state.SkipWithError("the calculation failed");
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
}
BENCHMARK(BM_SavingsCalculation)->Unit(benchmark::kMicrosecond);

}  // namespace
