#include "plot/engine.h"
#include "plot/settings.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace {

class PlotArea : public ::testing::Test {
protected:
    void SetUp() override { InitEngine(); }
    TImageHost host{1122, 476};
    EngineState& e = Engine();
};

TEST_F(PlotArea, StartGraphFillsBackgroundAndFramesThePicture) {
    Canvas& c = host.EngineCanvas();
    c.Brush.Color = clRed;
    c.FillRect(0, 0, 1122, 476);
    StartGraph(host, clWhite, clBlack, 0);
    EXPECT_EQ(CountPixels(c, clBlack), 2 * 1122 + 2 * 474);
    EXPECT_EQ(CountPixels(c, clWhite), 1120 * 474);
    EXPECT_EQ(e.PictureWidth, 1122);
    EXPECT_EQ(e.PictureHeight, 476);
    EXPECT_EQ(e.EnginePhase, 1);
    EXPECT_TRUE(e.PicturePixelMode);
    EXPECT_FALSE(e.AxesReady);
    EXPECT_EQ(e.CurrentArea, 0);
    EXPECT_EQ(e.ContrastColour, clBlack);
}

TEST_F(PlotArea, FontFollowsTheScale) {
    StartGraph(host, clWhite, clBlack, 0);
    EXPECT_DOUBLE_EQ(e.FontScale, 1.0);
    EXPECT_EQ(host.EngineCanvas().Font.Size, 8);
    EXPECT_EQ(host.EngineCanvas().Font.Name, "Arial");
    EXPECT_EQ(e.CharWidth, host.EngineCanvas().TextWidth("0"));
    EXPECT_EQ(e.MajorTickLength, e.CharWidth + 1);
    EXPECT_EQ(e.MinorTickLength, (e.CharWidth + 1) / 2 + 1);
    const int width8 = e.CharWidth;

    StartGraph(host, clWhite, clBlack, 1.5);
    EXPECT_EQ(host.EngineCanvas().Font.Size, 12);
    EXPECT_GT(e.CharWidth, width8);
    StartGraph(host, clWhite, clBlack, 1.3125); // 10.5 points: the half goes to the even 10
    EXPECT_EQ(host.EngineCanvas().Font.Size, 10);
}

TEST_F(PlotArea, EqualColoursMakeTheContrastTheComplement) {
    StartGraph(host, clWhite, clWhite, 1);
    EXPECT_EQ(e.ContrastColour, ~clWhite);
}

struct AreaCase {
    const char* name;
    std::array<int, 8> args;
    TPixelRect areaRect;
    int mapLeft, mapWidth, mapBottom, mapHeight;
    bool valid;
};

class PlotAreaGeometry : public ::testing::TestWithParam<AreaCase> {
protected:
    void SetUp() override { InitEngine(); }
    TImageHost host{1122, 476};
};

TEST_P(PlotAreaGeometry, RectangleFromPercentagesAndMargins) {
    const AreaCase& c = GetParam();
    StartGraph(host, clWhite, clBlack, 1);
    const auto& a = c.args;
    SetPlotArea(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], false);
    const EngineState& e = Engine();
    const TPlotArea& area = e.PlotArea[1];
    EXPECT_EQ(area.AreaRect.Left, c.areaRect.Left) << c.name;
    EXPECT_EQ(area.AreaRect.Right, c.areaRect.Right) << c.name;
    EXPECT_EQ(area.AreaRect.Top, c.areaRect.Top) << c.name;
    EXPECT_EQ(area.AreaRect.Bottom, c.areaRect.Bottom) << c.name;
    EXPECT_EQ(e.CurrentMapping.MapLeft, c.mapLeft) << c.name;
    EXPECT_EQ(e.CurrentMapping.MapWidth, c.mapWidth) << c.name;
    EXPECT_EQ(e.CurrentMapping.MapBottom, c.mapBottom) << c.name;
    EXPECT_EQ(e.CurrentMapping.MapHeight, c.mapHeight) << c.name;
    EXPECT_EQ(area.AreaValid, c.valid) << c.name;
    EXPECT_EQ(e.AreaWindow[1].Valid, c.valid);
    EXPECT_EQ(e.AreaWindow[0].Left, c.mapLeft);
    EXPECT_EQ(area.AxisRecord[kAxisX].AxisPixelOrigin, c.mapLeft);
    EXPECT_EQ(area.AxisRecord[kAxisX].AxisPixelLength, c.mapWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, PlotAreaGeometry,
    ::testing::Values(
        AreaCase{"main window",
                 {20, 90, 10, 80, 0, 0, 0, 0},
                 {224, 1010, 48, 381},
                 224,
                 786,
                 381,
                 333,
                 true},
        AreaCase{"swapped",
                 {90, 20, 80, 10, 0, 0, 0, 0},
                 {224, 1010, 48, 381},
                 224,
                 786,
                 381,
                 333,
                 true},
        AreaCase{
            "limited", {-5, 130, -1, 101, 0, 0, 0, 0}, {0, 1122, 0, 476}, 0, 1122, 476, 476, true},
        AreaCase{
            "margins", {0, 100, 0, 100, 10, 20, 5, 6}, {0, 1122, 0, 476}, 10, 1092, 470, 465, true},
        AreaCase{"margins crossing",
                 {20, 30, 10, 80, 60, 60, 0, 0},
                 {224, 337, 48, 381},
                 284,
                 -7,
                 381,
                 333,
                 false},
        AreaCase{"zero height",
                 {20, 90, 50, 50, 0, 0, 0, 0},
                 {224, 1010, 238, 238},
                 224,
                 786,
                 238,
                 0,
                 false}));

TEST_F(PlotArea, NinthAreaOnlyMarksTheEighthInvalid) {
    StartGraph(host, clWhite, clBlack, 1);
    for (int i = 0; i < 8; ++i) {
        SetPlotArea(10 * i, 10 * i + 10, 0, 100, 0, 0, 0, 0, false);
    }
    const TMapping before = e.CurrentMapping;
    EXPECT_EQ(e.AreaCount, 8);
    EXPECT_TRUE(e.PlotArea[8].AreaValid);
    SetPlotArea(0, 100, 0, 100, 0, 0, 0, 0, false);
    EXPECT_EQ(e.AreaCount, 8);
    EXPECT_EQ(e.CurrentArea, 8);
    EXPECT_FALSE(e.PlotArea[8].AreaValid);
    EXPECT_EQ(e.CurrentMapping.MapLeft, before.MapLeft);
    EXPECT_EQ(e.CurrentMapping.MapWidth, before.MapWidth);
}

TEST_F(PlotArea, ClipSwitchSkipsTheClipperOnlyWhenUnzoomed) {
    StartGraph(host, clWhite, clBlack, 1);
    SetPlotArea(20, 90, 10, 80, 0, 0, 0, 0, true);
    EXPECT_TRUE(e.SkipClip);
    SetPlotArea(20, 90, 10, 80, 0, 0, 0, 0, false);
    EXPECT_FALSE(e.SkipClip);
    e.PlotArea[3].ZoomWindow.XHigh = 0.5;
    SetPlotArea(20, 90, 10, 80, 0, 0, 0, 0, true);
    EXPECT_FALSE(e.SkipClip);
    EXPECT_FALSE(e.PlotArea[3].SkipClip);
}

TEST_F(PlotArea, NewPictureKeepsZoomWindowsAndResetsTheRest) {
    StartGraph(host, clWhite, clBlack, 1);
    SetPlotArea(20, 90, 10, 80, 0, 0, 0, 0, false);
    e.PlotArea[1].ZoomWindow = TZoomWindow{0.25, 0.5, 0.0, 1.0};
    e.PlotArea[1].AxisRecord[kAxisX].AxisZoomWindow = TFractionWindow{0.25, 0.5};
    e.PlotArea[1].GridPattern = {0, 0, 0, 0};
    e.RulerDragging = true;
    StartGraph(host, clWhite, clBlack, 1);
    EXPECT_FALSE(e.PlotArea[1].AreaValid);
    EXPECT_DOUBLE_EQ(e.PlotArea[1].ZoomWindow.XLow, 0.25);
    EXPECT_DOUBLE_EQ(e.PlotArea[1].AxisRecord[kAxisX].AxisZoomWindow.High, 0.5);
    EXPECT_EQ(e.PlotArea[1].GridPattern, (std::array<int, 4>{4, 7, 4, 7}));
    EXPECT_FALSE(e.AreaWindow[1].Valid);
    EXPECT_FALSE(e.RulerDragging);
    EXPECT_EQ(e.AreaCount, 0);
}

TEST_F(PlotArea, SetPlotAreaResetsPenBrushAndColours) {
    StartGraph(host, clWhite, clBlack, 1);
    Canvas& c = host.EngineCanvas();
    c.Pen.Width = 5;
    c.Pen.Style = TPenStyle::Dash;
    c.Pen.Mode = TPenMode::Xor;
    e.ForeColour = clRed;
    e.BackColour = clGreen;
    SetPlotArea(20, 90, 10, 80, 0, 0, 0, 0, false);
    EXPECT_EQ(c.Pen.Width, 1);
    EXPECT_EQ(c.Pen.Style, TPenStyle::Solid);
    EXPECT_EQ(c.Pen.Mode, TPenMode::Copy);
    EXPECT_EQ(c.Brush.Style, TBrushStyle::Solid);
    EXPECT_EQ(e.ForeColour, clBlack);
    EXPECT_EQ(e.BackColour, clWhite);
    EXPECT_EQ(e.EnginePhase, 2);
    EXPECT_TRUE(e.PicturePixelMode);
}

TEST_F(PlotArea, ForgottenHostIsNeverReached) {
    {
        TImageHost shortLived(50, 50);
        StartGraph(shortLived, clWhite, clBlack, 1);
        EXPECT_EQ(e.OwnerControl, &shortLived);
    }
    EXPECT_EQ(e.OwnerControl, nullptr);
    EXPECT_EQ(e.TargetCanvas, nullptr);
    SetPlotArea(0, 100, 0, 100, 0, 0, 0, 0, false);
    FinishGraph();
    StartGraph(host, clWhite, clBlack, 1);
    EXPECT_EQ(e.OwnerControl, &host);
}

} // namespace
