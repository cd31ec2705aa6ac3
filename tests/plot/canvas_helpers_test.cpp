#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace {

class CanvasHelpers : public ::testing::Test {
protected:
    void SetUp() override { engine.startGraph(clWhite, clBlack, 1); }
    Canvas& c() { return picture.canvas(); }
    ImageEngine picture{60, 40};
    plot::PlotEngine& engine = picture.engine;
};

TEST_F(CanvasHelpers, NegativeColoursLeaveTheCurrentOnes) {
    c().Pen.Color = clGreen;
    engine.plotLine(-1, 2, 2, 10, 2);
    EXPECT_EQ(CountPixels(c(), QRect(2, 2, 8, 1), clGreen), 8);
    engine.plotLine(clRed, 2, 3, 10, 3);
    EXPECT_EQ(c().Pen.Color, clRed);

    engine.plotRectangle(-1, clBlue, 20, 5, 25, 10); // outline takes the brush colour
    EXPECT_EQ(c().Brush.Color, clBlue);
    EXPECT_EQ(c().Pen.Color, clBlue);
    EXPECT_EQ(CountPixels(c(), QRect(20, 5, 5, 5), clBlue), 25);

    engine.plotRectangle(clGreen, -1, 30, 5, 35, 10); // nothing changes, drawn as before
    EXPECT_EQ(c().Pen.Color, clBlue);

    engine.plotEllipse(clRed, -1, 45, 20, 4); // the ellipse alone applies a pen colour
    EXPECT_EQ(c().Pen.Color, clRed);
    EXPECT_EQ(PaintedBounds(c(), clWhite).right(), 59); // the frame
    EXPECT_EQ(c().Pixel(41, 20), clRed);
    EXPECT_EQ(c().Pixel(49, 20), clRed);
    EXPECT_EQ(c().Pixel(50, 20), clWhite);

    engine.plotPixel(5, 30, clFuchsia);
    engine.plotPixel(6, 30, -1);
    EXPECT_EQ(c().Pixel(5, 30), clFuchsia);
    EXPECT_EQ(c().Pixel(6, 30), clRed);
}

TEST_F(CanvasHelpers, SaveAndRestoreAttributes) {
    c().Pen.Color = clRed;
    c().Pen.Width = 3;
    c().Brush.Style = TBrushStyle::Clear;
    engine.saveAttributes();
    c().Pen = TPen{};
    c().Brush = TBrush{};
    engine.restoreAttributes();
    EXPECT_EQ(c().Pen.Color, clRed);
    EXPECT_EQ(c().Pen.Width, 3);
    EXPECT_EQ(c().Brush.Style, TBrushStyle::Clear);
}

} // namespace
