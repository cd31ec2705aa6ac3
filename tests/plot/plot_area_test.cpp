#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace {

class PlotArea : public ::testing::Test {
protected:
    Canvas& c() { return picture.canvas(); }
    ImageEngine picture{1122, 476};
    plot::PlotEngine& engine = picture.engine;
};

TEST_F(PlotArea, StartGraphFillsBackgroundAndFramesThePicture) {
    struct Case {
        TColor back;
        TColor frame;
    };
    for (const Case& colours : {Case{clWhite, clBlack}, Case{clWhite, clWhite}}) {
        c().Brush.Color = clRed;
        c().FillRect(0, 0, 1122, 476);
        engine.startGraph(colours.back, colours.frame, 0);
        // A frame in the back colour leaves the picture plain.
        const int frame = colours.frame == colours.back ? 0 : 2 * 1122 + 2 * 474;
        EXPECT_EQ(CountPixels(c(), colours.back), 1122 * 476 - frame);
        EXPECT_EQ(CountPixels(c(), colours.frame),
                  colours.frame == colours.back ? 1122 * 476 : frame);
    }
}

TEST_F(PlotArea, LinesTakePicturePixelsUntilTheAxesStand) {
    engine.startGraph(clWhite, clBlack, 1);
    EXPECT_FALSE(engine.plotArea(1).AreaValid);
    engine.setPenColour(clRed);
    engine.moveTo(10.4, 20);
    engine.drawTo(19.5, 20); // 20 after rounding, half to even
    engine.finishGraph();
    EXPECT_EQ(CountPixels(c(), QRect(10, 20, 11, 1), clRed), 11);
    EXPECT_EQ(CountPixels(c(), clRed), 11);

    engine.setPlotArea({20, 90, 10, 80});
    engine.setPenColour(clBlue);
    engine.moveTo(5, 30); // outside the plot rectangle: nothing clips it yet
    engine.drawTo(15, 30);
    engine.finishGraph();
    EXPECT_EQ(CountPixels(c(), QRect(5, 30, 11, 1), clBlue), 11);
}

TEST_F(PlotArea, FontFollowsTheScale) {
    engine.startGraph(clWhite, clBlack, 0);
    EXPECT_EQ(c().Font.Size, 8);
    EXPECT_EQ(c().Font.Name, "Arial");
    const int width8 = c().TextWidth("0");

    engine.startGraph(clWhite, clBlack, 1.5);
    EXPECT_EQ(c().Font.Size, 12);
    EXPECT_GT(c().TextWidth("0"), width8);
    engine.startGraph(clWhite, clBlack, 1.3125); // 10.5 points: the half goes to the even 10
    EXPECT_EQ(c().Font.Size, 10);
}

struct AreaCase {
    const char* name;
    plot::PlotAreaLayout layout;
    TPixelRect areaRect;
    int mapLeft, mapWidth, mapBottom, mapHeight;
    bool valid;
};

class PlotAreaGeometry : public ::testing::TestWithParam<AreaCase> {
protected:
    ImageEngine picture{1122, 476};
};

TEST_P(PlotAreaGeometry, RectangleFromPercentagesAndMargins) {
    const AreaCase& c = GetParam();
    plot::PlotEngine& engine = picture.engine;
    engine.startGraph(clWhite, clBlack, 1);
    engine.setPlotArea(c.layout);
    const TPlotArea& area = engine.plotArea(1);
    const TMapping& m = engine.mapping();
    EXPECT_EQ(area.AreaRect.Left, c.areaRect.Left) << c.name;
    EXPECT_EQ(area.AreaRect.Right, c.areaRect.Right) << c.name;
    EXPECT_EQ(area.AreaRect.Top, c.areaRect.Top) << c.name;
    EXPECT_EQ(area.AreaRect.Bottom, c.areaRect.Bottom) << c.name;
    EXPECT_EQ(m.MapLeft, c.mapLeft) << c.name;
    EXPECT_EQ(m.MapWidth, c.mapWidth) << c.name;
    EXPECT_EQ(m.MapBottom, c.mapBottom) << c.name;
    EXPECT_EQ(m.MapHeight, c.mapHeight) << c.name;
    EXPECT_EQ(area.AreaValid, c.valid) << c.name;
    EXPECT_EQ(area.AxisRecord[kAxisX].AxisPixelOrigin, c.mapLeft);
    EXPECT_EQ(area.AxisRecord[kAxisX].AxisPixelLength, c.mapWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, PlotAreaGeometry,
    ::testing::Values(
        AreaCase{"main window", {20, 90, 10, 80}, {224, 1010, 48, 381}, 224, 786, 381, 333, true},
        AreaCase{"swapped", {90, 20, 80, 10}, {224, 1010, 48, 381}, 224, 786, 381, 333, true},
        AreaCase{"limited", {-5, 130, -1, 101}, {0, 1122, 0, 476}, 0, 1122, 476, 476, true},
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
        AreaCase{"zero height", {20, 90, 50, 50}, {224, 1010, 238, 238}, 224, 786, 238, 0, false}));

TEST_F(PlotArea, NinthAreaOnlyMarksTheEighthInvalid) {
    engine.startGraph(clWhite, clBlack, 1);
    for (int i = 0; i < 8; ++i) {
        engine.setPlotArea({10 * i, 10 * i + 10, 0, 100});
    }
    const TMapping before = engine.mapping();
    EXPECT_TRUE(engine.plotArea(8).AreaValid);
    engine.setPlotArea({0, 100, 0, 100});
    EXPECT_FALSE(engine.plotArea(8).AreaValid);
    EXPECT_TRUE(engine.plotArea(7).AreaValid);
    EXPECT_EQ(engine.mapping().MapLeft, before.MapLeft);
    EXPECT_EQ(engine.mapping().MapWidth, before.MapWidth);
    // The eighth area, still the current one, now refuses its axes.
    const QImage picture = c().Image().copy();
    engine.drawAxis({.kind = plot::AxisKind::X, .start = 0, .end = 10});
    EXPECT_EQ(c().Image(), picture);
}

// A red line across the picture, from left of the plot rectangle to right of it, in world
// values equal to pixels.
int RedOutsideThePlot(plot::PlotEngine& engine, Canvas& c, bool clip) {
    engine.startGraph(clWhite, clBlack, 1);
    engine.setPlotArea({20, 90, 10, 80, 0, 0, 0, 0, clip}); // 224..1010 x 48..381
    WorldIsPixels(engine, clWhite);
    engine.setPenColour(clRed);
    engine.moveTo(100, 200);
    engine.drawTo(1100, 200);
    engine.finishGraph();
    return CountPixels(c, QRect(100, 200, 124, 1), clRed);
}

TEST_F(PlotArea, ClipSwitchSkipsTheClipperOnlyWhenUnzoomed) {
    EXPECT_EQ(RedOutsideThePlot(engine, c(), true), 124);
    EXPECT_TRUE(engine.plotArea(1).SkipClip);
    EXPECT_EQ(RedOutsideThePlot(engine, c(), false), 0);
    EXPECT_FALSE(engine.plotArea(1).SkipClip);

    CtrlDrag(engine, {300, 100}, {700, 300});
    ASSERT_LT(engine.plotArea(1).ZoomWindow.XHigh, 1.0);
    EXPECT_EQ(RedOutsideThePlot(engine, c(), true), 0);
    EXPECT_FALSE(engine.plotArea(1).SkipClip);
}

TEST_F(PlotArea, NewPictureKeepsZoomWindowsAndResetsTheRest) {
    RedOutsideThePlot(engine, c(), false);
    CtrlDrag(engine, {300, 100}, {700, 300});
    const TPlotArea zoomed = engine.plotArea(1);
    ASSERT_LT(zoomed.ZoomWindow.XHigh, 1.0);
    engine.mouseDown(mbLeft, ssLeft, 500, 200);
    ASSERT_EQ(engine.interaction(), plot::Interaction::Ruler);

    engine.startGraph(clWhite, clBlack, 1);
    const TPlotArea& area = engine.plotArea(1);
    EXPECT_FALSE(area.AreaValid);
    EXPECT_DOUBLE_EQ(area.ZoomWindow.XLow, zoomed.ZoomWindow.XLow);
    EXPECT_DOUBLE_EQ(area.AxisRecord[kAxisX].AxisZoomWindow.High,
                     zoomed.AxisRecord[kAxisX].AxisZoomWindow.High);
    EXPECT_EQ(area.GridPattern, (std::array<int, 4>{4, 7, 4, 7}));
    EXPECT_EQ(engine.interaction(), plot::Interaction::Idle);
}

TEST_F(PlotArea, SetPlotAreaResetsPenAndBrush) {
    engine.startGraph(clWhite, clBlack, 1);
    c().Pen.Width = 5;
    c().Pen.Style = TPenStyle::Dash;
    c().Pen.Mode = TPenMode::Xor;
    c().Brush.Style = TBrushStyle::Clear;
    engine.setPlotArea({20, 90, 10, 80});
    EXPECT_EQ(c().Pen.Width, 1);
    EXPECT_EQ(c().Pen.Style, TPenStyle::Solid);
    EXPECT_EQ(c().Pen.Mode, TPenMode::Copy);
    EXPECT_EQ(c().Brush.Style, TBrushStyle::Solid);
    EXPECT_EQ(c().Brush.Color, clWhite);
}

} // namespace
