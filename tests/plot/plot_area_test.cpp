// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace plot {

namespace {

class PlotAreaTest : public ::testing::Test {
protected:
    Canvas& c() { return picture.canvas(); }
    ImageEngine picture{1122, 476};
    plot::PlotEngine& engine = picture.engine;
};

TEST_F(PlotAreaTest, StartGraphFillsBackgroundAndFramesThePicture) {
    struct Case {
        Color back;
        Color frame;
    };
    for (const Case& colours : {Case{kWhite, kBlack}, Case{kWhite, kWhite}}) {
        c().brush.color = kRed;
        c().fillRect(0, 0, 1122, 476);
        engine.startGraph(colours.back, colours.frame, 0);
        // A frame in the back colour leaves the picture plain.
        const int frame = colours.frame == colours.back ? 0 : 2 * 1122 + 2 * 474;
        EXPECT_EQ(countPixels(c(), colours.back), 1122 * 476 - frame);
        EXPECT_EQ(countPixels(c(), colours.frame),
                  colours.frame == colours.back ? 1122 * 476 : frame);
    }
}

TEST_F(PlotAreaTest, LinesTakePicturePixelsUntilTheAxesStand) {
    engine.startGraph(kWhite, kBlack, 1);
    EXPECT_FALSE(engine.plotArea(1).areaValid);
    engine.setPenColour(kRed);
    engine.moveTo(10.4, 20);
    engine.drawTo(19.5, 20); // 20 after rounding, half to even
    engine.finishGraph();
    EXPECT_EQ(countPixels(c(), QRect(10, 20, 11, 1), kRed), 11);
    EXPECT_EQ(countPixels(c(), kRed), 11);

    engine.setPlotArea({20, 90, 10, 80});
    engine.setPenColour(kBlue);
    engine.moveTo(5, 30); // outside the plot rectangle: nothing clips it yet
    engine.drawTo(15, 30);
    engine.finishGraph();
    EXPECT_EQ(countPixels(c(), QRect(5, 30, 11, 1), kBlue), 11);
}

TEST_F(PlotAreaTest, FontFollowsTheScale) {
    engine.startGraph(kWhite, kBlack, 0);
    EXPECT_EQ(c().font.size, 8);
    EXPECT_EQ(c().font.name, "Arial");
    const int width8 = c().textWidth("0");

    engine.startGraph(kWhite, kBlack, 1.5);
    EXPECT_EQ(c().font.size, 12);
    EXPECT_GT(c().textWidth("0"), width8);
    engine.startGraph(kWhite, kBlack, 1.3125); // 10.5 points: the half goes to the even 10
    EXPECT_EQ(c().font.size, 10);
}

struct AreaCase {
    const char* name;
    plot::PlotAreaLayout layout;
    PixelRect areaRect;
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
    engine.startGraph(kWhite, kBlack, 1);
    engine.setPlotArea(c.layout);
    const PlotArea& area = engine.plotArea(1);
    const Mapping& m = engine.mapping();
    EXPECT_EQ(area.areaRect.left, c.areaRect.left) << c.name;
    EXPECT_EQ(area.areaRect.right, c.areaRect.right) << c.name;
    EXPECT_EQ(area.areaRect.top, c.areaRect.top) << c.name;
    EXPECT_EQ(area.areaRect.bottom, c.areaRect.bottom) << c.name;
    EXPECT_EQ(m.mapLeft, c.mapLeft) << c.name;
    EXPECT_EQ(m.mapWidth, c.mapWidth) << c.name;
    EXPECT_EQ(m.mapBottom, c.mapBottom) << c.name;
    EXPECT_EQ(m.mapHeight, c.mapHeight) << c.name;
    EXPECT_EQ(area.areaValid, c.valid) << c.name;
    EXPECT_EQ(area.axisRecord[kAxisX].axisPixelOrigin, c.mapLeft);
    EXPECT_EQ(area.axisRecord[kAxisX].axisPixelLength, c.mapWidth);
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

TEST_F(PlotAreaTest, NinthAreaOnlyMarksTheEighthInvalid) {
    engine.startGraph(kWhite, kBlack, 1);
    for (int i = 0; i < 8; ++i) {
        engine.setPlotArea({10 * i, 10 * i + 10, 0, 100});
    }
    const Mapping before = engine.mapping();
    EXPECT_TRUE(engine.plotArea(8).areaValid);
    engine.setPlotArea({0, 100, 0, 100});
    EXPECT_FALSE(engine.plotArea(8).areaValid);
    EXPECT_TRUE(engine.plotArea(7).areaValid);
    EXPECT_EQ(engine.mapping().mapLeft, before.mapLeft);
    EXPECT_EQ(engine.mapping().mapWidth, before.mapWidth);
    // The eighth area, still the current one, now refuses its axes.
    const QImage picture = c().image().copy();
    engine.drawAxis({.kind = plot::AxisKind::X, .start = 0, .end = 10});
    EXPECT_EQ(c().image(), picture);
}

// A red line across the picture, from left of the plot rectangle to right of it, in world
// values equal to pixels.
int redOutsideThePlot(plot::PlotEngine& engine, Canvas& c, bool clip) {
    engine.startGraph(kWhite, kBlack, 1);
    engine.setPlotArea({20, 90, 10, 80, 0, 0, 0, 0, clip}); // 224..1010 x 48..381
    worldIsPixels(engine, kWhite);
    engine.setPenColour(kRed);
    engine.moveTo(100, 200);
    engine.drawTo(1100, 200);
    engine.finishGraph();
    return countPixels(c, QRect(100, 200, 124, 1), kRed);
}

TEST_F(PlotAreaTest, ClipSwitchSkipsTheClipperOnlyWhenUnzoomed) {
    EXPECT_EQ(redOutsideThePlot(engine, c(), true), 124);
    EXPECT_TRUE(engine.plotArea(1).skipClip);
    EXPECT_EQ(redOutsideThePlot(engine, c(), false), 0);
    EXPECT_FALSE(engine.plotArea(1).skipClip);

    ctrlDrag(engine, {300, 100}, {700, 300});
    ASSERT_LT(engine.plotArea(1).zoomWindow.xHigh, 1.0);
    EXPECT_EQ(redOutsideThePlot(engine, c(), true), 0);
    EXPECT_FALSE(engine.plotArea(1).skipClip);
}

TEST_F(PlotAreaTest, NewPictureKeepsZoomWindowsAndResetsTheRest) {
    redOutsideThePlot(engine, c(), false);
    ctrlDrag(engine, {300, 100}, {700, 300});
    const PlotArea zoomed = engine.plotArea(1);
    ASSERT_LT(zoomed.zoomWindow.xHigh, 1.0);
    engine.mouseDown(MouseButton::Left, kLeftButtonHeld, 500, 200);
    ASSERT_EQ(engine.interaction(), plot::Interaction::Ruler);

    engine.startGraph(kWhite, kBlack, 1);
    const PlotArea& area = engine.plotArea(1);
    EXPECT_FALSE(area.areaValid);
    EXPECT_DOUBLE_EQ(area.zoomWindow.xLow, zoomed.zoomWindow.xLow);
    EXPECT_DOUBLE_EQ(area.axisRecord[kAxisX].axisZoomWindow.high,
                     zoomed.axisRecord[kAxisX].axisZoomWindow.high);
    EXPECT_EQ(area.gridPattern, (std::array<int, 4>{4, 7, 4, 7}));
    EXPECT_EQ(engine.interaction(), plot::Interaction::Idle);
}

TEST_F(PlotAreaTest, SetPlotAreaResetsPenAndBrush) {
    engine.startGraph(kWhite, kBlack, 1);
    c().pen.width = 5;
    c().pen.style = PenStyle::Dash;
    c().pen.mode = PenMode::Xor;
    c().brush.style = BrushStyle::Clear;
    engine.setPlotArea({20, 90, 10, 80});
    EXPECT_EQ(c().pen.width, 1);
    EXPECT_EQ(c().pen.style, PenStyle::Solid);
    EXPECT_EQ(c().pen.mode, PenMode::Copy);
    EXPECT_EQ(c().brush.style, BrushStyle::Solid);
    EXPECT_EQ(c().brush.color, kWhite);
}

} // namespace

} // namespace plot
