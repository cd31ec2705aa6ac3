#include "plot/engine.h"
#include "plot/primitives.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace {

class Symbols : public ::testing::Test {
protected:
    void SetUp() override {
        InitEngine();
        StartGraph(host, clWhite, clBlack, 1);
        SetPlotArea(0, 100, 0, 100, 0, 0, 0, 0, false); // plot rectangle 0..201 x 0..101
        SetPenColour(clRed);
    }
    // World mode with world = pixels.
    void WorldMode() {
        EngineState& e = Engine();
        TMapping& m = e.CurrentMapping;
        m.XMin = m.MapLeft;
        m.XMax = m.MapLeft + m.MapWidth;
        m.YMin = m.MapBottom;
        m.YMax = m.MapBottom - m.MapHeight;
        m.XLog = m.YLog = false;
        e.PicturePixelMode = false;
        e.AxesReady = true;
    }
    // A fresh picture with one symbol at (50, 50) and its painted box.
    QRect Box(int kind, int size, int fill = 0) {
        SetUp();
        host.EngineCanvas().Pen.Color = clRed;
        MoveTo(50, 50);
        EXPECT_TRUE(DrawSymbol(kind, size, fill));
        FinishGraph();
        QRect inner(1, 1, 198, 98); // inside the frame
        QRect box;
        for (int y = inner.top(); y <= inner.bottom(); ++y) {
            for (int x = inner.left(); x <= inner.right(); ++x) {
                if (host.EngineCanvas().Pixel(x, y) != clWhite) {
                    box = box.united(QRect(x, y, 1, 1));
                }
            }
        }
        return box;
    }
    TImageHost host{201, 101};
};

TEST_F(Symbols, ShapesAndSizes) {
    struct Case {
        const char* name;
        int kind;
        int size;
        QRect box;
    };
    const std::vector<Case> cases{
        {"square 8 is 9 x 9", ssSquare, 8, QRect(46, 46, 9, 9)},
        {"circle 8", ssCircle, 8, QRect(46, 46, 9, 9)},
        {"size 1 is one pixel", ssSquare, 1, QRect(50, 50, 1, 1)},
        {"dot", ssDot, 8, QRect(50, 50, 1, 1)},
        {"size 0 takes the font size, 8", ssSquare, 0, QRect(46, 46, 9, 9)},
        {"triangle up", ssTriangleUp, 8, QRect(46, 44, 9, 11)},
        {"triangle down", ssTriangleDown, 8, QRect(46, 46, 9, 11)},
        {"triangle right", ssTriangleRight, 8, QRect(46, 46, 11, 9)},
        {"triangle left", ssTriangleLeft, 8, QRect(44, 46, 11, 9)},
        {"plus", ssPlus, 8, QRect(46, 46, 9, 9)},
        {"cross", ssCross, 8, QRect(47, 47, 7, 7)},
        {"immediate flag keeps the shape", ssSquare + kImmediateSymbol, 4, QRect(48, 48, 5, 5)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Box(c.kind, c.size), c.box) << c.name;
    }
}

TEST_F(Symbols, PlusAndCrossPixels) {
    Box(ssPlus, 4);
    EXPECT_EQ(PixelRows(host.EngineCanvas(), QRect(48, 48, 5, 5), clRed),
              (std::vector<std::string>{"..#..", "..#..", "#####", "..#..", "..#.."}));
    Box(ssCross, 4);
    EXPECT_EQ(PixelRows(host.EngineCanvas(), QRect(48, 48, 5, 5), clRed),
              (std::vector<std::string>{".....", ".#.#.", "..#..", ".#.#.", "....."}));
}

TEST_F(Symbols, FillModes) {
    // A blue line under a red square, on an aqua background.
    const TColor centre[] = {clBlue, clAqua, clRed, clBlack};
    for (int fill = 0; fill < 4; ++fill) {
        StartGraph(host, clAqua, clBlack, 1);
        SetPlotArea(0, 100, 0, 100, 0, 0, 0, 0, false);
        SetPenColour(clBlue);
        MoveTo(40, 50);
        DrawTo(60, 50);
        SetPenColour(clRed);
        MoveTo(50, 50);
        DrawSymbol(ssSquare, 8, fill);
        FinishGraph();
        EXPECT_EQ(host.EngineCanvas().Pixel(50, 50), centre[fill]) << fill;
        EXPECT_EQ(host.EngineCanvas().Pixel(46, 46), clRed) << fill;
    }
}

TEST_F(Symbols, QueueIsDrawnOnTopInOrderAndRestoresThePen) {
    Canvas& c = host.EngineCanvas();
    MoveTo(50, 50);
    DrawSymbol(ssSquare, 8, 2);
    SetPenColour(clBlue);
    MoveTo(53, 50);
    DrawSymbol(ssSquare, 8, 2);
    MoveTo(40, 50);
    DrawTo(70, 50); // a line drawn after queueing lies below the symbols
    EXPECT_EQ(Engine().SymbolQueue.size(), 2u);
    FinishGraph();
    EXPECT_TRUE(Engine().SymbolQueue.empty());
    EXPECT_EQ(c.Pixel(48, 50), clRed);
    EXPECT_EQ(c.Pixel(52, 50), clBlue); // the second lies over the first
    EXPECT_EQ(c.Pixel(60, 50), clBlue);
    EXPECT_EQ(c.Pixel(65, 50), clBlue); // the line outside the symbols
    EXPECT_EQ(c.Pen.Color, clBlue);
    EXPECT_EQ(c.Brush.Color, clWhite);
    EXPECT_EQ(c.Brush.Style, TBrushStyle::Solid);
}

TEST_F(Symbols, ImmediateSymbolDrawsAtOnce) {
    MoveTo(50, 50);
    DrawSymbol(ssSquare + kImmediateSymbol, 8, 2);
    EXPECT_EQ(host.EngineCanvas().Pixel(50, 50), clRed);
    EXPECT_TRUE(Engine().SymbolQueue.empty());
}

TEST_F(Symbols, EdgeRuleInWorldMode) {
    WorldMode();
    struct Case {
        QPoint centre;
        bool drawn;
    };
    for (const Case& c : {Case{{0, 50}, true}, Case{{200, 50}, true}, Case{{100, 0}, true},
                          Case{{100, 100}, true}, Case{{-1, 50}, false}, Case{{201, 50}, false},
                          Case{{100, -1}, false}, Case{{100, 101}, false}}) {
        Engine().SymbolQueue.clear();
        MoveTo(c.centre.x(), c.centre.y());
        DrawSymbol(ssCircle, 8, 0);
        EXPECT_EQ(Engine().SymbolQueue.size(), c.drawn ? 1u : 0u)
            << c.centre.x() << "," << c.centre.y();
    }
}

TEST_F(Symbols, EdgeRuleAgainstAnInnerPlotRectangle) {
    struct Case {
        QPoint centre;
        bool drawn;
    };
    const Case cases[] = {{{20, 50}, true},  {{181, 50}, true}, {{100, 10}, true},
                          {{100, 91}, true}, {{19, 50}, false}, {{182, 50}, false},
                          {{100, 9}, false}, {{100, 92}, false}};
    for (const Case& c : cases) {
        SetUp();
        SetPlotArea(10, 90, 10, 90, 0, 0, 0, 0, false); // 20..181 x 10..91
        WorldMode();
        MoveTo(c.centre.x(), c.centre.y());
        DrawSymbol(ssSquare, 2, 2);
        FinishGraph();
        EXPECT_EQ(host.EngineCanvas().Pixel(c.centre.x(), c.centre.y()) == clRed, c.drawn)
            << c.centre.x() << "," << c.centre.y();
    }
}

TEST_F(Symbols, EdgeRuleAgainstThePictureInPixelMode) {
    struct Case {
        QPoint centre;
        bool drawn;
    };
    const Case cases[] = {
        {{0, 0}, true}, {{200, 100}, true}, {{201, 50}, false}, {{100, 101}, false}};
    for (const Case& c : cases) {
        SetUp();
        MoveTo(c.centre.x(), c.centre.y());
        DrawSymbol(ssSquare, 2, 2);
        FinishGraph();
        EXPECT_EQ(CountPixels(host.EngineCanvas(), clRed) > 0, c.drawn)
            << c.centre.x() << "," << c.centre.y();
    }
}

TEST_F(Symbols, SkippedAndRefusedSymbols) {
    MoveTo(50, 50);
    EXPECT_TRUE(DrawSymbol(9, 8, 0));
    EXPECT_TRUE(DrawSymbol(15, 8, 0));
    EXPECT_TRUE(DrawSymbol(ssSquare, 8, -1));
    EXPECT_TRUE(DrawSymbol(ssSquare, 8, -3));
    EXPECT_FALSE(DrawSymbol(ssSquare, -1, 0));
    EXPECT_FALSE(DrawSymbol(ssSquare, 8, -4));
    EXPECT_FALSE(DrawSymbol(ssSquare, 8, 65536));
    EXPECT_FALSE(DrawSymbol(ssSquare, 70000, 0));
    EXPECT_TRUE(Engine().SymbolQueue.empty());
    EXPECT_TRUE(DrawSymbol(ssSquare, 8, 65535)); // any fill in range is taken
    EXPECT_EQ(Engine().SymbolQueue.size(), 1u);
    EXPECT_EQ(Engine().SymbolQueue[0].Fill, 65535);
}

TEST_F(Symbols, NeverLeakIntoTheNextAreaOrPicture) {
    MoveTo(50, 50);
    DrawSymbol(ssSquare, 8, 2);
    SetPlotArea(0, 100, 0, 100, 0, 0, 0, 0, false);
    EXPECT_TRUE(Engine().SymbolQueue.empty());
    EXPECT_EQ(host.EngineCanvas().Pixel(50, 50), clRed);
    MoveTo(80, 50);
    DrawSymbol(ssSquare, 8, 2);
    StartGraph(host, clWhite, clBlack, 1);
    FinishGraph();
    EXPECT_EQ(host.EngineCanvas().Pixel(80, 50), clWhite);
}

} // namespace

namespace {

TEST(SymbolScale, NegativeFontScaleRefusesDefaultSizedSymbols) {
    InitEngine();
    TImageHost host(100, 100);
    StartGraph(host, clWhite, clBlack, -1);
    MoveTo(50, 50);
    EXPECT_FALSE(DrawSymbol(ssSquare, 0, 0));
    EXPECT_TRUE(Engine().SymbolQueue.empty());
}

} // namespace
