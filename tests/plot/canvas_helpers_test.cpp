#include "plot/engine.h"
#include "plot/primitives.h"
#include "plot/unzoom.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace {

class CanvasHelpers : public ::testing::Test {
protected:
    void SetUp() override {
        InitEngine();
        StartGraph(host, clWhite, clBlack, 1);
    }
    Canvas& c() { return host.EngineCanvas(); }
    TImageHost host{60, 40};
};

TEST_F(CanvasHelpers, NegativeColoursLeaveTheCurrentOnes) {
    c().Pen.Color = clGreen;
    PlotLine(-1, 2, 2, 10, 2);
    EXPECT_EQ(CountPixels(c(), QRect(2, 2, 8, 1), clGreen), 8);
    PlotLine(clRed, 2, 3, 10, 3);
    EXPECT_EQ(c().Pen.Color, clRed);

    PlotRectangle(-1, clBlue, 20, 5, 25, 10); // outline takes the brush colour
    EXPECT_EQ(c().Brush.Color, clBlue);
    EXPECT_EQ(c().Pen.Color, clBlue);
    EXPECT_EQ(CountPixels(c(), QRect(20, 5, 5, 5), clBlue), 25);

    PlotRectangle(clGreen, -1, 30, 5, 35, 10); // nothing changes, drawn as before
    EXPECT_EQ(c().Pen.Color, clBlue);

    PlotEllipse(clRed, -1, 45, 20, 4); // the ellipse alone applies a pen colour
    EXPECT_EQ(c().Pen.Color, clRed);
    EXPECT_EQ(PaintedBounds(c(), clWhite).right(), 59); // the frame
    EXPECT_EQ(c().Pixel(41, 20), clRed);
    EXPECT_EQ(c().Pixel(49, 20), clRed);
    EXPECT_EQ(c().Pixel(50, 20), clWhite);

    PlotPixel(5, 30, clFuchsia);
    PlotPixel(6, 30, -1);
    EXPECT_EQ(c().Pixel(5, 30), clFuchsia);
    EXPECT_EQ(c().Pixel(6, 30), clRed);
}

TEST_F(CanvasHelpers, SaveAndRestoreAttributes) {
    c().Pen.Color = clRed;
    c().Pen.Width = 3;
    c().Brush.Style = TBrushStyle::Clear;
    SaveAttributes();
    c().Pen = TPen{};
    c().Brush = TBrush{};
    RestoreAttributes();
    EXPECT_EQ(c().Pen.Color, clRed);
    EXPECT_EQ(c().Pen.Width, 3);
    EXPECT_EQ(c().Brush.Style, TBrushStyle::Clear);
}

TEST_F(CanvasHelpers, UnzoomResetsOneAreaOrAll) {
    EngineState& e = Engine();
    for (int i = 1; i <= kMaxPlotAreas; ++i) {
        e.PlotArea[i].ZoomWindow = TZoomWindow{0.2, 0.4, 0.1, 0.3};
        e.PlotArea[i].AxisRecord[2].AxisZoomWindow = TFractionWindow{0.1, 0.3};
        e.PlotArea[i].AxisRecord[2].DrawnWindow = TFractionWindow{0.1, 0.3};
    }
    e.LastZoomedArea = 3;
    Unzoom(2);
    EXPECT_DOUBLE_EQ(e.PlotArea[2].ZoomWindow.XHigh, 1.0);
    EXPECT_DOUBLE_EQ(e.PlotArea[2].AxisRecord[2].DrawnWindow.Low, 0.0);
    EXPECT_DOUBLE_EQ(e.PlotArea[3].ZoomWindow.XHigh, 0.4);
    EXPECT_EQ(e.LastZoomedArea, 3);
    Unzoom(3);
    EXPECT_EQ(e.LastZoomedArea, 0);
    Unzoom(9); // no such area
    EXPECT_DOUBLE_EQ(e.PlotArea[4].ZoomWindow.XHigh, 0.4);
    Unzoom(0);
    for (int i = 1; i <= kMaxPlotAreas; ++i) {
        EXPECT_DOUBLE_EQ(e.PlotArea[i].ZoomWindow.XLow, 0.0);
        EXPECT_DOUBLE_EQ(e.PlotArea[i].ZoomWindow.YHigh, 1.0);
        EXPECT_DOUBLE_EQ(e.PlotArea[i].AxisRecord[2].AxisZoomWindow.High, 1.0);
    }
}

} // namespace
