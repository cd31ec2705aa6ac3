#include "plot/engine.h"
#include "plot/mapping.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

class Mapping : public ::testing::Test {
protected:
    void SetUp() override {
        InitEngine();
        StartGraph(host, clWhite, clBlack, 1);
        SetPlotArea(0, 100, 0, 100, 0, 0, 0, 0, false);
    }
    void Linear(double x0, double x1, int left, int width) {
        TMapping& m = Engine().CurrentMapping;
        m.XMin = x0;
        m.XMax = x1;
        m.XLog = false;
        m.MapLeft = left;
        m.MapWidth = width;
    }
    TImageHost host{400, 300};
};

struct MapCase {
    double x;
    int pixel;
};

class LinearMapX : public Mapping, public ::testing::WithParamInterface<MapCase> {};

TEST_P(LinearMapX, MapsAndClamps) {
    Linear(0, 10, 100, 200);
    EXPECT_EQ(MapX(GetParam().x), GetParam().pixel) << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(Engine, LinearMapX,
                         ::testing::Values(MapCase{5, 200}, MapCase{0, 100}, MapCase{10, 300},
                                           MapCase{1e9, 32767}, MapCase{-1e9, -32768},
                                           MapCase{NAN, -32768}, // never an undefined pixel
                                           MapCase{INFINITY, 32767}));

TEST_F(Mapping, HalfPixelsGoToTheEvenPixel) {
    Linear(0, 4, 100, 2);
    EXPECT_EQ(MapX(1), 100); // 100.5
    EXPECT_EQ(MapX(3), 102); // 101.5
}

TEST_F(Mapping, LogarithmicY) {
    TMapping& m = Engine().CurrentMapping;
    m.YMin = 1;
    m.YMax = 100;
    m.YLog = true;
    m.YLogSpan = std::log(100.0);
    m.MapBottom = 250;
    m.MapHeight = 200;
    EXPECT_EQ(MapY(10), 150);
    EXPECT_EQ(MapY(1), 250);
    EXPECT_EQ(MapY(100), 50);
    // A non-positive value is drawn at half the minimum.
    EXPECT_EQ(MapY(0), MapY(0.5));
    EXPECT_EQ(MapY(-3), MapY(0.5));
    EXPECT_GT(MapY(0.5), 250);
}

TEST_F(Mapping, LogarithmicXUsesTheSmallerLimitForNonPositiveValues) {
    TMapping& m = Engine().CurrentMapping;
    m.XMin = 100;
    m.XMax = 1; // falling to the right
    m.XLog = true;
    m.XLogSpan = std::log(1 / 100.0);
    m.MapLeft = 0;
    m.MapWidth = 200;
    EXPECT_EQ(MapX(10), 100);
    EXPECT_EQ(MapX(0), MapX(0.5));
}

TEST_F(Mapping, LinearYFromTheBottomEdge) {
    TMapping& m = Engine().CurrentMapping;
    m.YMin = -1;
    m.YMax = 1;
    m.YLog = false;
    m.MapBottom = 381;
    m.MapHeight = 333;
    EXPECT_EQ(MapY(-1), 381);
    EXPECT_EQ(MapY(1), 48);
    EXPECT_EQ(MapY(0), 214); // 214.5 goes to the even 214
}

TEST_F(Mapping, StoredAxisRecordsBothWays) {
    EngineState& e = Engine();
    TAxisRecord& x = e.Area().AxisRecord[kAxisX];
    x.AxisMin = 0;
    x.AxisMax = 10;
    x.AxisPixelOrigin = 100;
    x.AxisPixelLength = 200;
    TAxisRecord& y = e.Area().AxisRecord[2];
    y.AxisMin = 0;
    y.AxisMax = 100;
    y.AxisPixelOrigin = 250;
    y.AxisPixelLength = 200;
    EXPECT_EQ(AreaMapX(5), 200);
    EXPECT_EQ(AreaMapY(2, 50), 150);
    EXPECT_EQ(AreaMapX(1e12), 32767);
    EXPECT_DOUBLE_EQ(PixelToWorldX(200), 5);
    EXPECT_DOUBLE_EQ(PixelToWorldY(150, 2), 50);
    // Left of the control counts as pixel 0; below it as its height.
    EXPECT_DOUBLE_EQ(PixelToWorldX(-40), PixelToWorldX(0));
    EXPECT_DOUBLE_EQ(PixelToWorldX(0), -5);
    EXPECT_DOUBLE_EQ(PixelToWorldY(9999, 2), PixelToWorldY(300, 2));

    y.AxisLog = true;
    y.AxisMin = 1;
    y.AxisMax = 100;
    y.AxisLogSpan = std::log(100.0);
    EXPECT_NEAR(PixelToWorldY(150, 2), 10, 1e-12);
}

TEST_F(Mapping, PixelToWorldYOfTheCurrentMapping) {
    TMapping& m = Engine().CurrentMapping;
    m.YMin = 0;
    m.YMax = 10;
    m.YLog = false;
    m.MapBottom = 250;
    m.MapHeight = 200;
    EXPECT_DOUBLE_EQ(PixelToWorldY(150, 0), 5);
    EXPECT_TRUE(std::isnan(PixelToWorldY(150, 5)));
    EXPECT_EQ(AreaMapY(0, 1), -32768); // no such y axis: far away, never a crash
}

} // namespace
