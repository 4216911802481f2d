// Drawing a large graph: a 10,000-row time series into the recording picture, and that picture
// painted by the Qt canvas into an image of the graph area's size. Both must stay interactive.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "graph/GSubs.h"
#include "platform/Picture.h"
#include "platform/qt/PictureRenderer.h"

namespace {

using namespace ombrix;

class SilentUi : public Ui {
  public:
    void messageBox(std::string_view, std::string_view) override {}
    void setBusy(bool) override {}
    void progressCaption(std::string_view) override {}
    void progressShow() override {}
    void progressPaint(double) override {}
    void progressUnload() override {}
    void processEvents() override {}
};

// Painting text needs a GUI application; the benchmarks make one (offscreen) on first use.
void ensureGuiApplication() {
    static std::unique_ptr<QGuiApplication> app;
    if (!app) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "ombrix_bench";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
}

// A merged table of `rows` monthly periods with a seasonal use, a gap every 97 rows and the
// retrofit half-way.
struct LargeSeries {
    DataState data;
    ModelState model;
    GraphState graph;
    SilentUi ui;
    Picture picture;
    GraphContext ctx{data, model, graph, ui, picture};

    explicit LargeSeries(long rows) {
        data.DataTable = Table(rows, 12);
        for (long i = 1; i <= rows; ++i) {
            data.DataTable.at(i, 1) = static_cast<double>((i - 1) % 12 + 1);
            data.DataTable.at(i, 2) = 1;
            data.DataTable.at(i, 3) = static_cast<double>(1990 + (i - 1) / 12 % 40);
            const double season = static_cast<double>((i * 7) % 12);
            data.DataTable.at(i, 4) = i % 97 == 0 ? -99.0 : 2000.0 + 150.0 * season;
            data.DataTable.at(i, 7) = i < rows / 2 ? 1 : 2;
        }
        data.DataRows = rows;
        data.ColNames = TextList({"", "Month", "Day", "Year", "Elec Use", "Elec Demand",
                                  "Thermal Use", "Elec Flag", "Thermal Flag", "Temp", "", "", ""});
        data.MoCol = 1;
        data.DyCol = 2;
        data.YrCol = 3;
        data.TimeStampKind = 3;
        data.EnergyOpen = true;
        data.PrePostCol = 7;
        data.PreColor = kBlack;
        data.PostColor = kBlue;
    }
};

void BM_PlotTimeSeries10k(benchmark::State& state) {
    LargeSeries s(10000);
    for (auto _ : state) {
        PlotTimeSeries(s.ctx, 4, true, true);
        benchmark::DoNotOptimize(s.picture.ops().data());
    }
    state.counters["ops"] = static_cast<double>(s.picture.ops().size());
}
BENCHMARK(BM_PlotTimeSeries10k)->Unit(benchmark::kMillisecond);

void BM_RenderTimeSeries10k(benchmark::State& state) {
    ensureGuiApplication();
    LargeSeries s(10000);
    PlotTimeSeries(s.ctx, 4, true, true);
    QImage image(1200, 680, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        PictureRenderer::render(s.picture, painter, QRectF(0, 0, 1200, 680));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["ops"] = static_cast<double>(s.picture.ops().size());
}
BENCHMARK(BM_RenderTimeSeries10k)->Unit(benchmark::kMillisecond);

}  // namespace
