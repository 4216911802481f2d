#include <gtest/gtest.h>

#include "platform/HelpPath.h"
#include "platform/Picture.h"
#include "platform/Twips.h"
#include "platform/Ui.h"

using ombrix::progressFraction;

TEST(ShowProgress, PaintsOnlyAtMultiplesOfEvery) {
    EXPECT_EQ(progressFraction(5, 10, 1), 0.5);
    EXPECT_FALSE(progressFraction(15, 20, 10));
    EXPECT_EQ(progressFraction(20, 20, 10), 1.0);
    EXPECT_EQ(progressFraction(30, 20, 10), 1.5);  // painted past the end, clipped by the bar
    EXPECT_EQ(progressFraction(0, 20, 10), 0.0);
}

TEST(ShowProgress, TotalOfZeroPaintsNothing) {
    EXPECT_FALSE(progressFraction(0, 0, 1));
    EXPECT_FALSE(progressFraction(3, 0, 1));
    EXPECT_FALSE(progressFraction(3, 10, 0));
}

namespace {
class PaintRecorder : public ombrix::Ui {
  public:
    void messageBox(std::string_view, std::string_view) override {}
    void setBusy(bool) override {}
    void progressCaption(std::string_view) override {}
    void progressShow() override {}
    void progressPaint(double f) override { paints.push_back(f); }
    void progressUnload() override {}
    void processEvents() override {}
    std::vector<double> paints;
};
}  // namespace

TEST(ShowProgress, ForwardsPaintedFractions) {
    PaintRecorder ui;
    ui.ShowProgress(5, 10, 1);
    ui.ShowProgress(15, 20, 10);
    ui.ShowProgress(20, 20, 10);
    EXPECT_EQ(ui.paints, (std::vector<double>{0.5, 1.0}));
}

TEST(HelpPath, ExactlyOneSeparatorBeforeTheFile) {
    EXPECT_EQ(ombrix::helpFilePath("/opt/ombrix", "ombrix.qhc"), "/opt/ombrix/ombrix.qhc");
    EXPECT_EQ(ombrix::helpFilePath("/", "ombrix.qhc"), "/ombrix.qhc");
    EXPECT_EQ(ombrix::helpFilePath("/opt/ombrix/", "ombrix.qhc"), "/opt/ombrix/ombrix.qhc");
    EXPECT_EQ(ombrix::helpFilePath("/ ", "ombrix.qhc"), "/ ombrix.qhc");
}

TEST(Twips, ConvertAtTheLogicalDpi) {
    EXPECT_EQ(ombrix::twipsToPixels(1440, 96), 96);
    EXPECT_EQ(ombrix::twipsToPixels(4530, 96), 302);
    EXPECT_EQ(ombrix::twipsToPixels(4530, 192), 604);
}

TEST(Picture, RecordsCallsWithTheCurrentStyle) {
    ombrix::Picture p;
    p.setLineStyle(ombrix::LineStyle::Dotted);
    p.line(0, 50, 100, 50, ombrix::kBlue);
    p.setLineStyle(ombrix::LineStyle::Solid);
    p.setLineWidth(2);
    p.box(1, 2, 3, 4, ombrix::kBlack, true);
    p.setForeColor(ombrix::kBlue);
    p.text(20, 108, "Post Elec Use");
    p.circle(42, 106, 0.7, 0x00FF00, false);
    ASSERT_EQ(p.ops().size(), 4u);
    EXPECT_EQ(describe(p.ops()[0]), "line dotted w1 blue (0,50)-(100,50)");
    EXPECT_EQ(describe(p.ops()[1]), "filled box solid w2 black (1,2)-(3,4)");
    EXPECT_EQ(describe(p.ops()[2]), "text blue (20,108) \"Post Elec Use\"");
    EXPECT_EQ(describe(p.ops()[3]), "circle solid w2 #00FF00 (42,106) r0.7");
    const auto generation = p.generation();
    p.clear();
    EXPECT_TRUE(p.ops().empty());
    EXPECT_NE(p.generation(), generation);
}
