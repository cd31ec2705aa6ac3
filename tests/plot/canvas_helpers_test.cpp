// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace plot {

namespace {

class CanvasHelpers : public ::testing::Test {
protected:
    void SetUp() override { engine.startGraph(kWhite, kBlack, 1); }
    Canvas& c() { return picture.canvas(); }
    ImageEngine picture{60, 40};
    plot::PlotEngine& engine = picture.engine;
};

TEST_F(CanvasHelpers, NegativeColoursLeaveTheCurrentOnes) {
    c().pen.color = kGreen;
    engine.plotLine(-1, 2, 2, 10, 2);
    EXPECT_EQ(countPixels(c(), QRect(2, 2, 8, 1), kGreen), 8);
    engine.plotLine(kRed, 2, 3, 10, 3);
    EXPECT_EQ(c().pen.color, kRed);

    engine.plotRectangle(-1, kBlue, 20, 5, 25, 10); // outline takes the brush colour
    EXPECT_EQ(c().brush.color, kBlue);
    EXPECT_EQ(c().pen.color, kBlue);
    EXPECT_EQ(countPixels(c(), QRect(20, 5, 5, 5), kBlue), 25);

    engine.plotRectangle(kGreen, -1, 30, 5, 35, 10); // nothing changes, drawn as before
    EXPECT_EQ(c().pen.color, kBlue);

    engine.plotEllipse(kRed, -1, 45, 20, 4); // the ellipse alone applies a pen colour
    EXPECT_EQ(c().pen.color, kRed);
    EXPECT_EQ(paintedBounds(c(), kWhite).right(), 59); // the frame
    EXPECT_EQ(c().pixel(41, 20), kRed);
    EXPECT_EQ(c().pixel(49, 20), kRed);
    EXPECT_EQ(c().pixel(50, 20), kWhite);

    engine.plotPixel(5, 30, kFuchsia);
    engine.plotPixel(6, 30, -1);
    EXPECT_EQ(c().pixel(5, 30), kFuchsia);
    EXPECT_EQ(c().pixel(6, 30), kRed);
}

TEST_F(CanvasHelpers, SaveAndRestoreAttributes) {
    c().pen.color = kRed;
    c().pen.width = 3;
    c().brush.style = BrushStyle::Clear;
    engine.saveAttributes();
    c().pen = Pen{};
    c().brush = Brush{};
    engine.restoreAttributes();
    EXPECT_EQ(c().pen.color, kRed);
    EXPECT_EQ(c().pen.width, 3);
    EXPECT_EQ(c().brush.style, BrushStyle::Clear);
}

} // namespace

} // namespace plot
