// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/mapping.h"
#include "plot_test_support.h"

#include <cmath>
#include <gtest/gtest.h>

namespace plot {

namespace {

Mapping linear(double x0, double x1, int left, int width) {
    Mapping m;
    m.xMin = x0;
    m.xMax = x1;
    m.mapLeft = left;
    m.mapWidth = width;
    return m;
}

struct MapCase {
    double x;
    int pixel;
};

class LinearMapX : public ::testing::TestWithParam<MapCase> {};

TEST_P(LinearMapX, MapsAndClamps) {
    EXPECT_EQ(mapX(linear(0, 10, 100, 200), GetParam().x), GetParam().pixel) << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(Engine, LinearMapX,
                         ::testing::Values(MapCase{5, 200}, MapCase{0, 100}, MapCase{10, 300},
                                           MapCase{1e9, 32767}, MapCase{-1e9, -32768},
                                           MapCase{NAN, -32768}, // never an undefined pixel
                                           MapCase{INFINITY, 32767}));

TEST(Mapping, HalfPixelsGoToTheEvenPixel) {
    const Mapping m = linear(0, 4, 100, 2);
    EXPECT_EQ(mapX(m, 1), 100); // 100.5
    EXPECT_EQ(mapX(m, 3), 102); // 101.5
}

TEST(Mapping, LogarithmicY) {
    Mapping m;
    m.yMin = 1;
    m.yMax = 100;
    m.yLog = true;
    m.yLogSpan = std::log(100.0);
    m.mapBottom = 250;
    m.mapHeight = 200;
    EXPECT_EQ(mapY(m, 10), 150);
    EXPECT_EQ(mapY(m, 1), 250);
    EXPECT_EQ(mapY(m, 100), 50);
    // A non-positive value is drawn at half the minimum.
    EXPECT_EQ(mapY(m, 0), mapY(m, 0.5));
    EXPECT_EQ(mapY(m, -3), mapY(m, 0.5));
    EXPECT_GT(mapY(m, 0.5), 250);
}

TEST(Mapping, LogarithmicXUsesTheSmallerLimitForNonPositiveValues) {
    Mapping m;
    m.xMin = 100;
    m.xMax = 1; // falling to the right
    m.xLog = true;
    m.xLogSpan = std::log(1 / 100.0);
    m.mapLeft = 0;
    m.mapWidth = 200;
    EXPECT_EQ(mapX(m, 10), 100);
    EXPECT_EQ(mapX(m, 0), mapX(m, 0.5));
}

TEST(Mapping, LinearYFromTheBottomEdge) {
    Mapping m;
    m.yMin = -1;
    m.yMax = 1;
    m.mapBottom = 381;
    m.mapHeight = 333;
    EXPECT_EQ(mapY(m, -1), 381);
    EXPECT_EQ(mapY(m, 1), 48);
    EXPECT_EQ(mapY(m, 0), 214); // 214.5 goes to the even 214
}

// A 400 x 300 picture whose plot rectangle is 100..300 x 50..250, with x 0..10 and, on the y
// axis of side 2, y 0..100.
class DrawnAxes : public ::testing::Test {
protected:
    void open(bool logarithmicY) {
        engine.startGraph(kWhite, kBlack, 1);
        engine.setPlotArea({0, 100, 0, 100, 100, 100, 50, 50});
        engine.drawAxis({.kind = plot::AxisKind::X, .start = 0, .end = 10});
        engine.drawAxis({.kind = plot::AxisKind::Y,
                         .side = 2,
                         .start = logarithmicY ? 1.0 : 0.0,
                         .end = 100,
                         .logarithmic = logarithmicY});
    }
    ImageEngine picture{400, 300};
    plot::PlotEngine& engine = picture.engine;
};

TEST_F(DrawnAxes, StoredAxisRecordsBothWays) {
    open(false);
    EXPECT_EQ(engine.areaMapX(5), 200);
    EXPECT_EQ(engine.areaMapY(2, 50), 150);
    EXPECT_EQ(engine.areaMapX(1e12), 32767);
    EXPECT_DOUBLE_EQ(engine.pixelToWorldX(200), 5);
    EXPECT_DOUBLE_EQ(engine.pixelToWorldY(150, 2), 50);
    // Left of the control counts as pixel 0; below it as its height.
    EXPECT_DOUBLE_EQ(engine.pixelToWorldX(-40), engine.pixelToWorldX(0));
    EXPECT_DOUBLE_EQ(engine.pixelToWorldX(0), -5);
    EXPECT_DOUBLE_EQ(engine.pixelToWorldY(9999, 2), engine.pixelToWorldY(300, 2));

    open(true);
    EXPECT_NEAR(engine.pixelToWorldY(150, 2), 10, 1e-12);
}

TEST_F(DrawnAxes, PixelToWorldYOfTheCurrentMapping) {
    open(false);
    EXPECT_DOUBLE_EQ(engine.pixelToWorldY(150, 0), 50);
    EXPECT_TRUE(std::isnan(engine.pixelToWorldY(150, 5)));
    EXPECT_EQ(engine.areaMapY(0, 1), -32768); // no such y axis: far away, never a crash
}

} // namespace

} // namespace plot
