#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <filesystem>
#include <random>

#include "graph/Frame.h"
#include "platform/Errors.h"
#include "platform/SafeFile.h"
#include "platform/qt/PictureRenderer.h"
#include "support/Fakes.h"

using namespace ombrix;

namespace {

// A picture whose user units are pixels of a width x height image (y downwards).
Picture pixelPicture(int width, int height) {
    Picture p;
    p.setScale({0, 0, static_cast<double>(width), static_cast<double>(height)});
    return p;
}

QImage renderImage(const Picture& p, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    PictureRenderer::render(p, painter, QRectF(0, 0, width, height));
    return image;
}

bool dark(QRgb c) {
    return qGray(c) < 160;
}

// The bounding box of the non-white pixels.
QRect inked(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

int largestChannelDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
}

}  // namespace

TEST(PictureRenderer, TextHangsBelowAndRightOfItsPoint) {
    Picture p;
    p.setScale(kFrameScale);
    p.setFont("Helv", 8);
    p.text(50, 50, "Meter Reading Date");
    const QImage image = renderImage(p, 1300, 1300);  // 10 pixels per frame unit
    const QRect box = inked(image);
    ASSERT_FALSE(box.isEmpty());
    // (50, 50) is pixel (650, 600); the text starts there and goes right and down.
    EXPECT_GE(box.left(), 650);
    EXPECT_LE(box.left(), 654);
    EXPECT_GE(box.top(), 600);
    EXPECT_LE(box.top(), 606);
    EXPECT_GT(box.width(), 60);
    EXPECT_LT(box.height(), 20);  // about 8 points at 96 dpi
}

TEST(PictureRenderer, CircleRadiusIsInHorizontalUnitsAndRound) {
    Picture p;
    p.setScale({0, 0, 100, 100});
    p.circle(50, 50, 10, kBlack, false);
    const QImage image = renderImage(p, 1000, 500);  // 10 px per unit across, 5 down
    const QRect box = inked(image);
    EXPECT_NEAR(box.width(), 200, 3);
    EXPECT_NEAR(box.height(), 200, 3);
}

TEST(PictureRenderer, DottedLinesLeaveGapsAndWidthTwoIsThicker) {
    Picture p = pixelPicture(200, 60);
    p.setLineStyle(LineStyle::Dotted);
    p.line(10, 10.5, 190, 10.5, kBlack);
    p.setLineStyle(LineStyle::Solid);
    p.line(10, 30.5, 190, 30.5, kBlack);
    p.setLineWidth(2);
    p.line(10, 50, 190, 50, kBlack);
    const QImage image = renderImage(p, 200, 60);
    int dotted = 0;
    int solid = 0;
    for (int x = 20; x < 180; ++x) {
        dotted += dark(image.pixel(x, 10)) ? 1 : 0;
        solid += dark(image.pixel(x, 30)) ? 1 : 0;
    }
    EXPECT_EQ(solid, 160);
    EXPECT_GT(dotted, 40);
    EXPECT_LT(dotted, 120);
    auto thickness = [&](int x, int from, int to) {
        int n = 0;
        for (int y = from; y < to; ++y) {
            n += dark(image.pixel(x, y)) ? 1 : 0;
        }
        return n;
    };
    EXPECT_EQ(thickness(100, 25, 36), 1);
    EXPECT_EQ(thickness(100, 45, 56), 2);
}

TEST(PictureRenderer, FilledShapesAreSolidInside) {
    Picture p = pixelPicture(100, 100);
    p.box(10, 10, 40, 40, kBlue, true);
    p.circle(70, 70, 15, kBlack, true);
    p.box(10, 60, 40, 90, kBlack, false);
    const QImage image = renderImage(p, 100, 100);
    EXPECT_EQ(image.pixel(25, 25) & 0xFFFFFF, 0x0000FFu);  // QRgb is red-green-blue
    EXPECT_EQ(image.pixel(70, 70) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(image.pixel(25, 75) & 0xFFFFFF, 0xFFFFFFu);  // an open box stays open
}

TEST(PictureRenderer, MarkersCopiedFromStampsMatchMarkersDrawnInPlace) {
    // Many markers at arbitrary sub-pixel positions, of every kind the graphs draw.
    Picture p;
    p.setScale(kFrameScale);
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> pos(0, 100);
    for (int i = 0; i < 300; ++i) {
        const double x = pos(gen);
        const double y = pos(gen);
        const Color c = i % 3 == 0 ? kBlack : kBlue;
        p.setLineWidth(i % 7 == 0 ? 2 : 1);
        if (i % 2 == 0) {
            p.box(x - 0.7, y + 1, x + 0.7, y - 1, c, i % 5 == 0);
        } else {
            p.circle(x, y, 0.7, c, i % 5 == 0);
        }
    }
    const QImage stamped = renderImage(p, 1200, 680);
    // A recorded QPicture replays every call as drawn, without stamps.
    QPicture recorded;
    {
        QPainter painter(&recorded);
        PictureRenderer::render(p, painter, QRectF(0, 0, 1200, 680));
    }
    QImage direct(1200, 680, QImage::Format_ARGB32_Premultiplied);
    direct.fill(Qt::white);
    {
        QPainter painter(&direct);
        painter.drawPicture(0, 0, recorded);
    }
    EXPECT_LE(largestChannelDifference(stamped, direct), 24);
}

TEST(PictureRenderer, DrawingInPiecesGivesTheSamePicture) {
    // The graph area paints new calls onto what it painted before.
    Picture p;
    p.setScale(kFrameScale);
    for (int i = 0; i < 40; ++i) {
        const double x = 2.5 * i;
        p.box(x - 0.7, 51, x + 0.7, 49, kBlack, false);
        p.line(x, 50, x + 2.5, 50 + (i % 5), i < 20 ? kBlack : kBlue);
        p.setLineStyle(i % 9 == 0 ? LineStyle::Dotted : LineStyle::Solid);
    }
    p.text(0, 0, "label");
    const QImage whole = renderImage(p, 600, 400);
    QImage pieces(600, 400, QImage::Format_ARGB32_Premultiplied);
    pieces.fill(Qt::white);
    for (std::size_t first = 0; first < p.ops().size(); first += 7) {
        QPainter painter(&pieces);
        PictureRenderer::render(p, painter, QRectF(0, 0, 600, 400), first, first + 7);
    }
    EXPECT_EQ(largestChannelDifference(whole, pieces), 0);
}

TEST(ExportPicture, WritesSvgAndPngAndRefusesOtherNames) {
    ombrix::test::TempDir dir;
    Picture p;
    p.setScale(kFrameScale);
    p.line(0, 0, 100, 100, kBlack);
    const auto png = dir.path() / "graph.png";
    exportPicture(p, QString::fromStdString(png.string()));
    const QImage image(QString::fromStdString(png.string()));
    EXPECT_EQ(image.size(), QSize(1200, 800));
    const auto svg = dir.path() / "graph.svg";
    exportPicture(p, QString::fromStdString(svg.string()), 300, 200);
    EXPECT_NE(ombrix::test::readFile(svg).find("<svg"), std::string::npos);
    EXPECT_THROW(exportPicture(p, QString::fromStdString((dir.path() / "graph.bmp").string())),
                 OmbrixError);
    EXPECT_THROW(
        exportPicture(p, QString::fromStdString((dir.path() / "no" / "such" / "g.png").string())),
        OmbrixError);
}

TEST(ExportPicture, FailedWriteKeepsTheOldGraph) {
    ombrix::test::TempDir dir;
    Picture p;
    p.setScale(kFrameScale);
    p.line(0, 0, 100, 100, kBlack);
    for (const char* name : {"graph.svg", "graph.png"}) {
        const auto path = dir.write(name, "old graph");
        // A file-size limit far below the graph's size: the disk is full for this write.
        struct rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        struct rlimit small = old;
        small.rlim_cur = 200;
        ombrix::keepRunningPastFileSizeLimit();
        setrlimit(RLIMIT_FSIZE, &small);
        std::string error;
        try {
            exportPicture(p, QString::fromStdString(path.string()));
        } catch (const OmbrixError& e) {
            error = e.what();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(error, "Cannot write file " + path.string() + ": File too large");
        EXPECT_EQ(ombrix::test::readFile(path), "old graph");
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 2u);  // no temporary file left
}
