// The three kinds of graph rendered by the Qt canvas and compared with reference images in
// tests/golden. Pixels may differ by a small amount everywhere; font rasterising differs a
// little between machines, so around the texts a share of the pixels may differ by more, while
// the lines and markers elsewhere must match. OMBRIX_UPDATE_GOLDEN=1 writes the images anew
// (look at them before committing).
#include <gtest/gtest.h>

#include <QImage>
#include <QRegion>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "graph/GraphTestUtil.h"
#include "platform/qt/PictureRenderer.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::GraphHarness;

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 600;
constexpr int kChannelTolerance = 40;
// Shares of the pixels that may differ by more than the tolerance: around texts, elsewhere.
constexpr double kTextFraction = 0.25;
constexpr double kShapeFraction = 0.0001;

struct Difference {
    long textPixels = 0;  // pixels around texts
    long textDiffering = 0;
    long shapePixels = 0;  // all other pixels
    long shapeDiffering = 0;
};

// Generous boxes around the texts of the picture, in pixels of a width x height image.
QRegion textAreas(const Picture& picture, int width, int height) {
    const Scale& s = picture.scale();
    QRegion region;
    for (const auto& op : picture.ops()) {
        if (op.kind != DrawOp::Kind::Text) {
            continue;
        }
        const double px = (op.x1 - s.left) * width / (s.right - s.left);
        const double py = (op.y1 - s.top) * height / (s.bottom - s.top);
        region += QRect(static_cast<int>(px) - 3, static_cast<int>(py) - 3,
                        9 * static_cast<int>(op.text.size()) + 8, 20);
    }
    return region;
}

Difference compareImages(const QImage& a, const QImage& b, const QRegion& text) {
    Difference d;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int dr = std::abs(qRed(p[col]) - qRed(q[col]));
            const int dg = std::abs(qGreen(p[col]) - qGreen(q[col]));
            const int db = std::abs(qBlue(p[col]) - qBlue(q[col]));
            const bool differs = std::max({dr, dg, db}) > kChannelTolerance;
            if (text.contains(QPoint(col, row))) {
                ++d.textPixels;
                d.textDiffering += differs ? 1 : 0;
            } else {
                ++d.shapePixels;
                d.shapeDiffering += differs ? 1 : 0;
            }
        }
    }
    return d;
}

void expectMatchesGolden(const Picture& picture, const std::string& name) {
    ombrix::test::TempDir dir;
    const auto rendered = dir.path() / (name + ".png");
    exportPicture(picture, QString::fromStdString(rendered.string()), kWidth, kHeight);
    const QImage image(QString::fromStdString(rendered.string()));
    ASSERT_FALSE(image.isNull());
    const auto golden = ombrix::test::sourceDir() / "tests" / "golden" / (name + ".png");
    const char* update = std::getenv("OMBRIX_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::filesystem::copy_file(rendered, golden,
                                   std::filesystem::copy_options::overwrite_existing);
        GTEST_SKIP() << "wrote " << golden.filename();
    }
    const QImage expected(QString::fromStdString(golden.string()));
    ASSERT_FALSE(expected.isNull())
        << "missing " << golden.filename() << " (OMBRIX_UPDATE_GOLDEN=1 writes it)";
    ASSERT_EQ(image.size(), expected.size());
    const Difference d = compareImages(image, expected, textAreas(picture, kWidth, kHeight));
    EXPECT_LE(static_cast<double>(d.shapeDiffering),
              kShapeFraction * static_cast<double>(d.shapePixels))
        << d.shapeDiffering << " of " << d.shapePixels << " pixels away from the texts differ from "
        << golden.filename();
    EXPECT_LE(static_cast<double>(d.textDiffering),
              kTextFraction * static_cast<double>(d.textPixels))
        << d.textDiffering << " of " << d.textPixels << " pixels around the texts differ from "
        << golden.filename();
}

// Two years of monthly electricity use, retrofit after the first year, one reading missing.
void twoYears(GraphHarness& h) {
    std::vector<std::vector<double>> rows;
    for (int i = 0; i < 24; ++i) {
        const double month = i % 12 + 1;
        const double temp = 60 - 25 * std::cos((month - 1) / 12.0 * 2 * M_PI);
        const double use = (i < 12 ? 2600 : 2100) + 18 * std::fabs(temp - 62) + 40 * (i % 3);
        const double flag = i < 12 ? 1 : 2;
        const double predicted = 2600 + 18 * std::fabs(temp - 62);
        rows.push_back({month, 28, i < 12 ? 97.0 : 98.0, i == 7 ? -99 : use, 10, 400, flag, flag,
                        temp, i < 12 ? use : predicted});
    }
    ombrix::test::setMerged(h.data, rows);
    h.markElectricity();
}

}  // namespace

TEST(GoldenGraph, TimeSeriesWithGapLegendGridAndHighlight) {
    GraphHarness h;
    twoYears(h);
    PlotTimeSeries(h.ctx, 4, true, true);
    GraphboxMouseDown(h.ctx, h.status, 1, 0, 100.0 * 4 / 23, 70.8);  // row 5: 2829
    ASSERT_EQ(h.status.lines().size(), 1u);
    expectMatchesGolden(h.picture, "time_series");
}

TEST(GoldenGraph, ScatterWithTwoChangePointModel) {
    GraphHarness h;
    twoYears(h);
    h.data.ModelTable = Table(3, 5);
    h.data.ModelTable.at(1, 1) = 55;
    h.data.ModelTable.at(1, 2) = 68;
    h.data.ModelTable.at(1, 3) = 2700;
    h.data.ModelTable.at(1, 4) = -18;
    h.data.ModelTable.at(1, 5) = 18;
    ASSERT_TRUE(PlotScatter(h.ctx, 9, 4, true));
    DrawModelLines(h.ctx, 1);
    ASSERT_TRUE(h.ui.boxes.empty());
    expectMatchesGolden(h.picture, "scatter_model");
}

TEST(GoldenGraph, MeasuredAndPredictedSeries) {
    GraphHarness h;
    twoYears(h);
    PlotModelSeries(h.ctx, 4, 10, true, true);
    ASSERT_TRUE(h.ui.boxes.empty());
    expectMatchesGolden(h.picture, "model_series");
}
