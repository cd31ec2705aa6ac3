#include "plot/clipper.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace {

// A picture with the main window's plot rectangle (224..1010 x 48..381) and world = pixels, so
// that points are given as the pixels they map to.
class Polyline : public ::testing::Test {
protected:
    void SetUp() override { Open(picture.engine); }
    static void Open(plot::PlotEngine& engine, bool clip = false, bool world = true) {
        engine.startGraph(clWhite, clBlack, 1);
        engine.setPlotArea({20, 90, 10, 80, 0, 0, 0, 0, clip});
        if (world) {
            WorldIsPixels(engine, clWhite);
        }
        engine.setPenColour(clRed);
    }
    void MoveTo(double x, double y) { picture.engine.moveTo(x, y); }
    void DrawTo(double x, double y) { picture.engine.drawTo(x, y); }
    void FinishGraph() { picture.engine.finishGraph(); }
    int Red(const QRect& r) { return CountPixels(picture.canvas(), r, clRed); }
    int RedAll() { return CountPixels(picture.canvas(), clRed); }
    TColor At(int x, int y) { return picture.canvas().Pixel(x, y); }
    ImageEngine picture{1122, 476};
    static constexpr int left = 224, right = 1010, top = 48, bottom = 381;
};

TEST_F(Polyline, EndDotIsSetByTheNextMoveOrFinish) {
    MoveTo(300, 100);
    DrawTo(310, 100);
    EXPECT_EQ(At(310, 100), clWhite);
    DrawTo(310, 110);
    EXPECT_EQ(At(310, 100), clRed); // the next line starts there
    FinishGraph();
    EXPECT_EQ(At(310, 110), clRed);
    EXPECT_EQ(RedAll(), 10 + 11);

    MoveTo(400, 200);
    DrawTo(405, 200);
    MoveTo(500, 200);
    EXPECT_EQ(At(405, 200), clRed);
}

TEST_F(Polyline, VertexBeforeALeftwardSegmentIsKept) {
    MoveTo(300, 100);
    DrawTo(350, 100);
    DrawTo(320, 120); // drawn from its left end, so it leaves out (350, 100)
    DrawTo(400, 120);
    FinishGraph();
    EXPECT_EQ(At(350, 100), clRed);
    EXPECT_EQ(At(320, 120), clRed);
    EXPECT_EQ(At(400, 120), clRed);
}

TEST_F(Polyline, LeavingThroughTheTopEndsOnRowTopMinusOneWithoutDot) {
    MoveTo(500, 60);
    DrawTo(500, 10);
    FinishGraph();
    EXPECT_EQ(Red(QRect(500, top, 1, 13)), 13);
    EXPECT_EQ(At(500, top - 1), clWhite);
    EXPECT_EQ(RedAll(), 13);

    // Slanted: the cut end lies one row above the rectangle and is not painted.
    MoveTo(600, 60);
    DrawTo(640, 20);
    FinishGraph();
    EXPECT_EQ(Red(QRect(0, 0, 1122, top)), 0);
    EXPECT_EQ(At(600, 60), clRed);
    EXPECT_EQ(At(612, top), clRed);
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
        MoveTo(c.from.x(), c.from.y());
        DrawTo(c.to.x(), c.to.y());
        FinishGraph();
        EXPECT_EQ(At(c.to.x(), c.to.y()) == clRed, c.dot) << c.what;
    }
}

TEST_F(Polyline, SegmentsWhollyOutsideDrawNothingButMoveThePen) {
    MoveTo(100, 100);
    DrawTo(150, 200);
    EXPECT_EQ(RedAll(), 0);
    DrawTo(250, 200); // starts from the unclipped pen position, enters at the left edge
    FinishGraph();
    EXPECT_EQ(Red(QRect(left, 200, 26, 1)), 26);
    EXPECT_EQ(RedAll(), 27); // with the end dot at 250
    for (const QPoint& p : {QPoint(300, 20), QPoint(300, 400), QPoint(1100, 100)}) {
        MoveTo(p.x(), p.y());
        DrawTo(p.x() + 30, p.y() + 5);
    }
    FinishGraph();
    EXPECT_EQ(RedAll(), 27);
}

TEST_F(Polyline, VerticalSegmentCrossingTheRectangleIncludesTheBottomRow) {
    MoveTo(700, 5);
    DrawTo(700, 470);
    FinishGraph();
    EXPECT_EQ(Red(QRect(700, top, 1, bottom - top + 1)), bottom - top + 1);
    EXPECT_EQ(RedAll(), bottom - top + 1);
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
            Open(engine);
            const QPoint& from = pass == 0 ? a : b;
            const QPoint& to = pass == 0 ? b : a;
            engine.moveTo(from.x(), from.y());
            engine.drawTo(to.x(), to.y());
        }
        EXPECT_EQ(picture.canvas().Image(), other.canvas().Image())
            << a.x() << "," << a.y() << " " << b.x() << "," << b.y();
        EXPECT_GT(RedAll(), 0);
    }
}

TEST_F(Polyline, ClipperCutsStepByStep) {
    const TClipRect r{left, right, top, bottom};
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
        EXPECT_EQ(ClipSegment(r, x0, y0, x1, y1), c.visible) << c.in[0] << "," << c.in[1];
        if (c.visible) {
            EXPECT_EQ((std::array<int, 4>{x0, y0, x1, y1}), c.out) << c.in[0] << "," << c.in[1];
        }
    }
}

TEST_F(Polyline, NothingIsDrawnBeforeTheYAxis) {
    Open(picture.engine, false, false);
    picture.engine.drawAxis({.kind = plot::AxisKind::X, .colour = clWhite, .start = 0, .end = 1});
    MoveTo(300, 100);
    DrawTo(400, 100);
    FinishGraph();
    EXPECT_EQ(RedAll(), 0);
}

TEST_F(Polyline, PictureModeDrawsUnclippedWithTheCanvasPen) {
    Open(picture.engine, false, false);
    MoveTo(10.4, 10);
    DrawTo(19.5, 10); // 20 after rounding, half to even
    FinishGraph();
    EXPECT_EQ(Red(QRect(10, 10, 11, 1)), 11);
    EXPECT_EQ(RedAll(), 11);
}

TEST_F(Polyline, SkipClipDrawsStraightToTheCanvas) {
    Open(picture.engine, true);
    MoveTo(100, 100); // left of the rectangle
    DrawTo(300, 100);
    FinishGraph();
    EXPECT_EQ(Red(QRect(100, 100, 201, 1)), 201);
}

TEST_F(Polyline, WidePenGetsNoEndDot) {
    picture.engine.setLineWidth(3);
    picture.engine.setLineWidth(0); // ignored
    EXPECT_EQ(picture.canvas().Pen.Width, 3);
    MoveTo(300, 100);
    DrawTo(320, 100);
    // The round tip covers the end; were a dot pending, the finish would paint it again.
    EXPECT_EQ(At(320, 100), clRed);
    picture.canvas().SetPixel(320, 100, clWhite);
    FinishGraph();
    EXPECT_EQ(At(320, 100), clWhite);
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
        engine.startGraph(clWhite, clBlack, 1);
        engine.setPlotArea({20, 90, 10, 80});
        WorldIsPixels(engine, clWhite);
        engine.setPenColour(clRed);
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
        const int all = CountPixels(c, clRed);
        // A cut end lies one pixel beyond the edge: a shallow line runs along that row.
        EXPECT_EQ(CountPixels(c, QRect(224, 47, 788, 336), clRed), all) << round;
        for (const QPoint& p : inner) {
            // A vertex on the right or bottom edge is cut as an end; all others must show.
            if (p.x() < 1010 && p.y() < 381 && p.y() > 48) {
                EXPECT_EQ(c.Pixel(p.x(), p.y()), clRed) << round << ": " << p.x() << "," << p.y();
            }
        }
    }
}

} // namespace
