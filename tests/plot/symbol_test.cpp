#include "plot/symbols.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace {

class Symbols : public ::testing::Test {
protected:
    void SetUp() override {
        engine.startGraph(clWhite, clBlack, 1);
        engine.setPlotArea({0, 100, 0, 100}); // plot rectangle 0..201 x 0..101
        engine.setPenColour(clRed);
    }
    // World mode with world = pixels.
    void WorldMode() {
        WorldIsPixels(engine, clWhite);
        engine.setPenColour(clRed);
    }
    // A fresh picture with one symbol at (50, 50) and its painted box.
    QRect Box(int kind, int size, int fill = 0) {
        SetUp();
        c().Pen.Color = clRed;
        engine.moveTo(50, 50);
        EXPECT_TRUE(engine.drawSymbol(kind, size, fill));
        engine.finishGraph();
        return InnerBox();
    }
    // The painted pixels inside the frame.
    QRect InnerBox() {
        QRect inner(1, 1, 198, 98);
        QRect box;
        for (int y = inner.top(); y <= inner.bottom(); ++y) {
            for (int x = inner.left(); x <= inner.right(); ++x) {
                if (c().Pixel(x, y) != clWhite) {
                    box = box.united(QRect(x, y, 1, 1));
                }
            }
        }
        return box;
    }
    Canvas& c() { return picture.canvas(); }
    ImageEngine picture{201, 101};
    plot::PlotEngine& engine = picture.engine;
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
    EXPECT_EQ(PixelRows(c(), QRect(48, 48, 5, 5), clRed),
              (std::vector<std::string>{"..#..", "..#..", "#####", "..#..", "..#.."}));
    Box(ssCross, 4);
    EXPECT_EQ(PixelRows(c(), QRect(48, 48, 5, 5), clRed),
              (std::vector<std::string>{".....", ".#.#.", "..#..", ".#.#.", "....."}));
}

TEST_F(Symbols, FillModes) {
    // A blue line under a red square, on an aqua background.
    const TColor centre[] = {clBlue, clAqua, clRed, clBlack};
    for (int fill = 0; fill < 4; ++fill) {
        engine.startGraph(clAqua, clBlack, 1);
        engine.setPlotArea({0, 100, 0, 100});
        engine.setPenColour(clBlue);
        engine.moveTo(40, 50);
        engine.drawTo(60, 50);
        engine.setPenColour(clRed);
        engine.moveTo(50, 50);
        engine.drawSymbol(ssSquare, 8, fill);
        engine.finishGraph();
        EXPECT_EQ(c().Pixel(50, 50), centre[fill]) << fill;
        EXPECT_EQ(c().Pixel(46, 46), clRed) << fill;
    }
}

TEST_F(Symbols, QueueIsDrawnOnTopInOrderAndRestoresThePen) {
    engine.moveTo(50, 50);
    engine.drawSymbol(ssSquare, 8, 2);
    engine.setPenColour(clBlue);
    engine.moveTo(53, 50);
    engine.drawSymbol(ssSquare, 8, 2);
    engine.moveTo(40, 50);
    engine.drawTo(70, 50); // a line drawn after queueing lies below the symbols
    EXPECT_EQ(c().Pixel(48, 50), clBlue) << "queued, not drawn yet";
    engine.finishGraph();
    EXPECT_EQ(c().Pixel(48, 50), clRed);
    EXPECT_EQ(c().Pixel(52, 50), clBlue); // the second lies over the first
    EXPECT_EQ(c().Pixel(60, 50), clBlue);
    EXPECT_EQ(c().Pixel(65, 50), clBlue); // the line outside the symbols
    EXPECT_EQ(c().Pen.Color, clBlue);
    EXPECT_EQ(c().Brush.Color, clWhite);
    EXPECT_EQ(c().Brush.Style, TBrushStyle::Solid);
    // The queue is empty now: a second finish draws nothing over a new line.
    engine.setPenColour(clGreen);
    engine.moveTo(40, 50);
    engine.drawTo(70, 50);
    engine.finishGraph();
    EXPECT_EQ(c().Pixel(48, 50), clGreen);
}

TEST_F(Symbols, ImmediateSymbolDrawsAtOnce) {
    engine.moveTo(50, 50);
    engine.drawSymbol(ssSquare + kImmediateSymbol, 8, 2);
    EXPECT_EQ(c().Pixel(50, 50), clRed);
    engine.setPenColour(clBlue);
    engine.moveTo(40, 50);
    engine.drawTo(70, 50);
    engine.finishGraph();
    EXPECT_EQ(c().Pixel(50, 50), clBlue) << "nothing left in the queue to cover the line";
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
        SetUp();
        WorldMode();
        engine.moveTo(c.centre.x(), c.centre.y());
        engine.drawSymbol(ssCircle, 8, 0);
        engine.finishGraph();
        EXPECT_EQ(CountPixels(picture.canvas(), clRed) > 0, c.drawn)
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
        engine.setPlotArea({10, 90, 10, 90}); // 20..181 x 10..91
        WorldMode();
        engine.moveTo(c.centre.x(), c.centre.y());
        engine.drawSymbol(ssSquare, 2, 2);
        engine.finishGraph();
        EXPECT_EQ(picture.canvas().Pixel(c.centre.x(), c.centre.y()) == clRed, c.drawn)
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
        engine.moveTo(c.centre.x(), c.centre.y());
        engine.drawSymbol(ssSquare, 2, 2);
        engine.finishGraph();
        EXPECT_EQ(CountPixels(picture.canvas(), clRed) > 0, c.drawn)
            << c.centre.x() << "," << c.centre.y();
    }
}

TEST_F(Symbols, SkippedAndRefusedSymbols) {
    engine.moveTo(50, 50);
    EXPECT_TRUE(engine.drawSymbol(9, 8, 0));
    EXPECT_TRUE(engine.drawSymbol(15, 8, 0));
    EXPECT_TRUE(engine.drawSymbol(ssSquare, 8, -1));
    EXPECT_TRUE(engine.drawSymbol(ssSquare, 8, -3));
    EXPECT_FALSE(engine.drawSymbol(ssSquare, -1, 0));
    EXPECT_FALSE(engine.drawSymbol(ssSquare, 8, -4));
    EXPECT_FALSE(engine.drawSymbol(ssSquare, 8, 65536));
    EXPECT_FALSE(engine.drawSymbol(ssSquare, 70000, 0));
    engine.finishGraph();
    EXPECT_TRUE(InnerBox().isEmpty());
    EXPECT_TRUE(engine.drawSymbol(ssSquare, 8, 65535)); // any fill in range is taken
    engine.finishGraph();
    EXPECT_EQ(InnerBox(), QRect(46, 46, 9, 9));
}

TEST_F(Symbols, NeverLeakIntoTheNextAreaOrPicture) {
    engine.moveTo(50, 50);
    engine.drawSymbol(ssSquare, 8, 2);
    engine.setPlotArea({0, 100, 0, 100});
    EXPECT_EQ(c().Pixel(50, 50), clRed);
    engine.moveTo(80, 50);
    engine.drawSymbol(ssSquare, 8, 2);
    engine.startGraph(clWhite, clBlack, 1);
    engine.finishGraph();
    EXPECT_EQ(c().Pixel(80, 50), clWhite);
}

} // namespace

namespace {

TEST(SymbolScale, NegativeFontScaleRefusesDefaultSizedSymbols) {
    ImageEngine picture(100, 100);
    picture.engine.startGraph(clWhite, clBlack, -1);
    picture.engine.setPenColour(clRed);
    picture.engine.moveTo(50, 50);
    EXPECT_FALSE(picture.engine.drawSymbol(ssSquare, 0, 0));
    picture.engine.finishGraph();
    EXPECT_EQ(CountPixels(picture.canvas(), clRed), 0);
}

} // namespace
