// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/clipper.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace plot {

namespace {

// A picture with the main window's plot rectangle (224..1010 x 48..381) and world = pixels, so
// that points are given as the pixels they map to.
class Polyline : public ::testing::Test {
protected:
    void SetUp() override { open(picture.engine); }
    static void open(plot::PlotEngine& engine, bool clip = false, bool world = true) {
        engine.startGraph(kWhite, kBlack, 1);
        engine.setPlotArea({20, 90, 10, 80, 0, 0, 0, 0, clip});
        if (world) {
            worldIsPixels(engine, kWhite);
        }
        engine.setPenColour(kRed);
    }
    void moveTo(double x, double y) { picture.engine.moveTo(x, y); }
    void drawTo(double x, double y) { picture.engine.drawTo(x, y); }
    void finishGraph() { picture.engine.finishGraph(); }
    int red(const QRect& r) { return countPixels(picture.canvas(), r, kRed); }
    int redAll() { return countPixels(picture.canvas(), kRed); }
    Color at(int x, int y) { return picture.canvas().pixel(x, y); }
    ImageEngine picture{1122, 476};
    static constexpr int left = 224, right = 1010, top = 48, bottom = 381;
};

TEST_F(Polyline, EndDotIsSetByTheNextMoveOrFinish) {
    moveTo(300, 100);
    drawTo(310, 100);
    EXPECT_EQ(at(310, 100), kWhite);
    drawTo(310, 110);
    EXPECT_EQ(at(310, 100), kRed); // the next line starts there
    finishGraph();
    EXPECT_EQ(at(310, 110), kRed);
    EXPECT_EQ(redAll(), 10 + 11);

    moveTo(400, 200);
    drawTo(405, 200);
    moveTo(500, 200);
    EXPECT_EQ(at(405, 200), kRed);
}

TEST_F(Polyline, VertexBeforeALeftwardSegmentIsKept) {
    moveTo(300, 100);
    drawTo(350, 100);
    drawTo(320, 120); // drawn from its left end, so it leaves out (350, 100)
    drawTo(400, 120);
    finishGraph();
    EXPECT_EQ(at(350, 100), kRed);
    EXPECT_EQ(at(320, 120), kRed);
    EXPECT_EQ(at(400, 120), kRed);
}

TEST_F(Polyline, LeavingThroughTheTopEndsOnRowTopMinusOneWithoutDot) {
    moveTo(500, 60);
    drawTo(500, 10);
    finishGraph();
    EXPECT_EQ(red(QRect(500, top, 1, 13)), 13);
    EXPECT_EQ(at(500, top - 1), kWhite);
    EXPECT_EQ(redAll(), 13);

    // Slanted: the cut end lies one row above the rectangle and is not painted.
    moveTo(600, 60);
    drawTo(640, 20);
    finishGraph();
    EXPECT_EQ(red(QRect(0, 0, 1122, top)), 0);
    EXPECT_EQ(at(600, 60), kRed);
    EXPECT_EQ(at(612, top), kRed);
}

TEST_F(Polyline, EndOnAnEdgeRowGetsNoDot) {
    struct Case {
        const char* what;
        QPoint from, to;
        bool dot;
    };
    const Case cases[] = {
        {"top edge", {300, 100}, {320, top}, false},
        {"bottom edge", {300, 300}, {320, bottom}, false},
        {"one row inside the top", {300, 100}, {320, top + 1}, true},
        {"one row inside the bottom", {300, 300}, {320, bottom - 1}, true},
    };
    for (const Case& c : cases) {
        SetUp();
        moveTo(c.from.x(), c.from.y());
        drawTo(c.to.x(), c.to.y());
        finishGraph();
        EXPECT_EQ(at(c.to.x(), c.to.y()) == kRed, c.dot) << c.what;
    }
}

TEST_F(Polyline, SegmentsWhollyOutsideDrawNothingButMoveThePen) {
    moveTo(100, 100);
    drawTo(150, 200);
    EXPECT_EQ(redAll(), 0);
    drawTo(250, 200); // starts from the unclipped pen position, enters at the left edge
    finishGraph();
    EXPECT_EQ(red(QRect(left, 200, 26, 1)), 26);
    EXPECT_EQ(redAll(), 27); // with the end dot at 250
    for (const QPoint& p : {QPoint(300, 20), QPoint(300, 400), QPoint(1100, 100)}) {
        moveTo(p.x(), p.y());
        drawTo(p.x() + 30, p.y() + 5);
    }
    finishGraph();
    EXPECT_EQ(redAll(), 27);
}

TEST_F(Polyline, VerticalSegmentCrossingTheRectangleIncludesTheBottomRow) {
    moveTo(700, 5);
    drawTo(700, 470);
    finishGraph();
    EXPECT_EQ(red(QRect(700, top, 1, bottom - top + 1)), bottom - top + 1);
    EXPECT_EQ(redAll(), bottom - top + 1);
}

TEST_F(Polyline, RightToLeftGivesTheSamePixels) {
    const std::vector<std::pair<QPoint, QPoint>> segments{{{100, 30}, {1100, 420}},
                                                          {{240, 70}, {900, 300}},
                                                          {{150, 380}, {500, 20}},
                                                          {{1000, 50}, {1050, 60}},
                                                          {{230, 200}, {1015, 201}}};
    for (const auto& [a, b] : segments) {
        ImageEngine other(1122, 476);
        for (int pass = 0; pass < 2; ++pass) {
            plot::PlotEngine& engine = pass == 0 ? picture.engine : other.engine;
            open(engine);
            const QPoint& from = pass == 0 ? a : b;
            const QPoint& to = pass == 0 ? b : a;
            engine.moveTo(from.x(), from.y());
            engine.drawTo(to.x(), to.y());
        }
        EXPECT_EQ(picture.canvas().image(), other.canvas().image())
            << a.x() << "," << a.y() << " " << b.x() << "," << b.y();
        EXPECT_GT(redAll(), 0);
    }
}

TEST_F(Polyline, ClipperCutsStepByStep) {
    const ClipRect r{left, right, top, bottom};
    struct Case {
        std::array<int, 4> in;
        bool visible;
        std::array<int, 4> out;
    };
    const std::vector<Case> cases{
        {{300, 100, 400, 200}, true, {300, 100, 400, 200}},   // inside
        {{400, 200, 300, 100}, true, {300, 100, 400, 200}},   // swapped to run left to right
        {{100, 100, 200, 200}, false, {100, 100, 200, 200}},  // left of the rectangle
        {{500, 10, 600, 20}, false, {500, 10, 600, 20}},      // above
        {{500, 10, 500, 500}, true, {500, 48, 500, 382}},     // vertical, down
        {{500, 500, 500, 10}, true, {500, 381, 500, 47}},     // vertical, up
        {{124, 100, 324, 300}, true, {224, 200, 324, 300}},   // cut at the left edge
        {{910, 100, 1110, 300}, true, {910, 100, 1011, 201}}, // cut one beyond the right edge
        {{300, 0, 400, 100}, true, {348, 48, 400, 100}},      // entering at the top
        {{300, 100, 400, 0}, true, {300, 100, 353, 47}},      // leaving through the top
        {{300, 331, 400, 431}, true, {300, 331, 351, 382}},   // leaving through the bottom
    };
    for (const Case& c : cases) {
        int x0 = c.in[0], y0 = c.in[1], x1 = c.in[2], y1 = c.in[3];
        EXPECT_EQ(clipSegment(r, x0, y0, x1, y1), c.visible) << c.in[0] << "," << c.in[1];
        if (c.visible) {
            EXPECT_EQ((std::array<int, 4>{x0, y0, x1, y1}), c.out) << c.in[0] << "," << c.in[1];
        }
    }
}

TEST_F(Polyline, NothingIsDrawnBeforeTheYAxis) {
    open(picture.engine, false, false);
    picture.engine.drawAxis({.kind = plot::AxisKind::X, .colour = kWhite, .start = 0, .end = 1});
    moveTo(300, 100);
    drawTo(400, 100);
    finishGraph();
    EXPECT_EQ(redAll(), 0);
}

TEST_F(Polyline, PictureModeDrawsUnclippedWithTheCanvasPen) {
    open(picture.engine, false, false);
    moveTo(10.4, 10);
    drawTo(19.5, 10); // 20 after rounding, half to even
    finishGraph();
    EXPECT_EQ(red(QRect(10, 10, 11, 1)), 11);
    EXPECT_EQ(redAll(), 11);
}

TEST_F(Polyline, SkipClipDrawsStraightToTheCanvas) {
    open(picture.engine, true);
    moveTo(100, 100); // left of the rectangle
    drawTo(300, 100);
    finishGraph();
    EXPECT_EQ(red(QRect(100, 100, 201, 1)), 201);
}

TEST_F(Polyline, WidePenGetsNoEndDot) {
    picture.engine.setLineWidth(3);
    picture.engine.setLineWidth(0); // ignored
    EXPECT_EQ(picture.canvas().pen.width, 3);
    moveTo(300, 100);
    drawTo(320, 100);
    // The round tip covers the end; were a dot pending, the finish would paint it again.
    EXPECT_EQ(at(320, 100), kRed);
    picture.canvas().setPixel(320, 100, kWhite);
    finishGraph();
    EXPECT_EQ(at(320, 100), kWhite);
}

} // namespace

namespace {

// Random polylines over and far beyond the rectangle: nothing is painted beyond the pixel row or
// column where cut segments end, and every vertex inside is painted.
TEST(PolylineProperty, StaysInsideAndShowsEveryInnerVertex) {
    ImageEngine picture(1122, 476);
    plot::PlotEngine& engine = picture.engine;
    std::uint32_t seed = 7;
    auto next = [&seed](int lo, int hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(hi - lo + 1));
    };
    for (int round = 0; round < 20; ++round) {
        engine.startGraph(kWhite, kBlack, 1);
        engine.setPlotArea({20, 90, 10, 80});
        worldIsPixels(engine, kWhite);
        engine.setPenColour(kRed);
        std::vector<QPoint> inner;
        for (int i = 0; i < 200; ++i) {
            const bool far = next(0, 9) == 0;
            const QPoint p = far ? QPoint(next(-100000, 100000), next(-100000, 100000))
                                 : QPoint(next(150, 1080), next(10, 420));
            if (i == 0) {
                engine.moveTo(p.x(), p.y());
            } else {
                engine.drawTo(p.x(), p.y());
            }
            if (p.x() >= 224 && p.x() <= 1010 && p.y() >= 48 && p.y() <= 381) {
                inner.push_back(p);
            }
        }
        engine.finishGraph();
        const Canvas& c = picture.canvas();
        const int all = countPixels(c, kRed);
        // A cut end lies one pixel beyond the edge: a shallow line runs along that row.
        EXPECT_EQ(countPixels(c, QRect(224, 47, 788, 336), kRed), all) << round;
        for (const QPoint& p : inner) {
            // A vertex on the right or bottom edge is cut as an end; all others must show.
            if (p.x() < 1010 && p.y() < 381 && p.y() > 48) {
                EXPECT_EQ(c.pixel(p.x(), p.y()), kRed) << round << ": " << p.x() << "," << p.y();
            }
        }
    }
}

} // namespace

} // namespace plot
