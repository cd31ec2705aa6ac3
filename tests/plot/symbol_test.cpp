// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/symbols.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace plot {

namespace {

class Symbols : public ::testing::Test {
protected:
    void SetUp() override {
        engine.startGraph(kWhite, kBlack, 1);
        engine.setPlotArea({0, 100, 0, 100}); // plot rectangle 0..201 x 0..101
        engine.setPenColour(kRed);
    }
    // World mode with world = pixels.
    void worldMode() {
        worldIsPixels(engine, kWhite);
        engine.setPenColour(kRed);
    }
    // A fresh picture with one symbol at (50, 50) and its painted box.
    QRect box(int kind, int size, int fill = 0) {
        SetUp();
        c().pen.color = kRed;
        engine.moveTo(50, 50);
        EXPECT_TRUE(engine.drawSymbol(kind, size, fill));
        engine.finishGraph();
        return innerBox();
    }
    // The painted pixels inside the frame.
    QRect innerBox() {
        QRect inner(1, 1, 198, 98);
        QRect box;
        for (int y = inner.top(); y <= inner.bottom(); ++y) {
            for (int x = inner.left(); x <= inner.right(); ++x) {
                if (c().pixel(x, y) != kWhite) {
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
        {"square 8 is 9 x 9", kSquareSymbol, 8, QRect(46, 46, 9, 9)},
        {"circle 8", kCircleSymbol, 8, QRect(46, 46, 9, 9)},
        {"size 1 is one pixel", kSquareSymbol, 1, QRect(50, 50, 1, 1)},
        {"dot", kDotSymbol, 8, QRect(50, 50, 1, 1)},
        {"size 0 takes the font size, 8", kSquareSymbol, 0, QRect(46, 46, 9, 9)},
        {"triangle up", kTriangleUpSymbol, 8, QRect(46, 44, 9, 11)},
        {"triangle down", kTriangleDownSymbol, 8, QRect(46, 46, 9, 11)},
        {"triangle right", kTriangleRightSymbol, 8, QRect(46, 46, 11, 9)},
        {"triangle left", kTriangleLeftSymbol, 8, QRect(44, 46, 11, 9)},
        {"plus", kPlusSymbol, 8, QRect(46, 46, 9, 9)},
        {"cross", kCrossSymbol, 8, QRect(47, 47, 7, 7)},
        {"immediate flag keeps the shape", kSquareSymbol + kImmediateSymbol, 4,
         QRect(48, 48, 5, 5)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(box(c.kind, c.size), c.box) << c.name;
    }
}

TEST_F(Symbols, PlusAndCrossPixels) {
    box(kPlusSymbol, 4);
    EXPECT_EQ(pixelRows(c(), QRect(48, 48, 5, 5), kRed),
              (std::vector<std::string>{"..#..", "..#..", "#####", "..#..", "..#.."}));
    box(kCrossSymbol, 4);
    EXPECT_EQ(pixelRows(c(), QRect(48, 48, 5, 5), kRed),
              (std::vector<std::string>{".....", ".#.#.", "..#..", ".#.#.", "....."}));
}

TEST_F(Symbols, FillModes) {
    // A blue line under a red square, on an aqua background.
    const Color centre[] = {kBlue, kAqua, kRed, kBlack};
    for (int fill = 0; fill < 4; ++fill) {
        engine.startGraph(kAqua, kBlack, 1);
        engine.setPlotArea({0, 100, 0, 100});
        engine.setPenColour(kBlue);
        engine.moveTo(40, 50);
        engine.drawTo(60, 50);
        engine.setPenColour(kRed);
        engine.moveTo(50, 50);
        engine.drawSymbol(kSquareSymbol, 8, fill);
        engine.finishGraph();
        EXPECT_EQ(c().pixel(50, 50), centre[fill]) << fill;
        EXPECT_EQ(c().pixel(46, 46), kRed) << fill;
    }
}

TEST_F(Symbols, QueueIsDrawnOnTopInOrderAndRestoresThePen) {
    engine.moveTo(50, 50);
    engine.drawSymbol(kSquareSymbol, 8, 2);
    engine.setPenColour(kBlue);
    engine.moveTo(53, 50);
    engine.drawSymbol(kSquareSymbol, 8, 2);
    engine.moveTo(40, 50);
    engine.drawTo(70, 50); // a line drawn after queueing lies below the symbols
    EXPECT_EQ(c().pixel(48, 50), kBlue) << "queued, not drawn yet";
    engine.finishGraph();
    EXPECT_EQ(c().pixel(48, 50), kRed);
    EXPECT_EQ(c().pixel(52, 50), kBlue); // the second lies over the first
    EXPECT_EQ(c().pixel(60, 50), kBlue);
    EXPECT_EQ(c().pixel(65, 50), kBlue); // the line outside the symbols
    EXPECT_EQ(c().pen.color, kBlue);
    EXPECT_EQ(c().brush.color, kWhite);
    EXPECT_EQ(c().brush.style, BrushStyle::Solid);
    // The queue is empty now: a second finish draws nothing over a new line.
    engine.setPenColour(kGreen);
    engine.moveTo(40, 50);
    engine.drawTo(70, 50);
    engine.finishGraph();
    EXPECT_EQ(c().pixel(48, 50), kGreen);
}

TEST_F(Symbols, ImmediateSymbolDrawsAtOnce) {
    engine.moveTo(50, 50);
    engine.drawSymbol(kSquareSymbol + kImmediateSymbol, 8, 2);
    EXPECT_EQ(c().pixel(50, 50), kRed);
    engine.setPenColour(kBlue);
    engine.moveTo(40, 50);
    engine.drawTo(70, 50);
    engine.finishGraph();
    EXPECT_EQ(c().pixel(50, 50), kBlue) << "nothing left in the queue to cover the line";
}

TEST_F(Symbols, EdgeRuleInWorldMode) {
    worldMode();
    struct Case {
        QPoint centre;
        bool drawn;
    };
    for (const Case& c : {Case{{0, 50}, true}, Case{{200, 50}, true}, Case{{100, 0}, true},
                          Case{{100, 100}, true}, Case{{-1, 50}, false}, Case{{201, 50}, false},
                          Case{{100, -1}, false}, Case{{100, 101}, false}}) {
        SetUp();
        worldMode();
        engine.moveTo(c.centre.x(), c.centre.y());
        engine.drawSymbol(kCircleSymbol, 8, 0);
        engine.finishGraph();
        EXPECT_EQ(countPixels(picture.canvas(), kRed) > 0, c.drawn)
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
        worldMode();
        engine.moveTo(c.centre.x(), c.centre.y());
        engine.drawSymbol(kSquareSymbol, 2, 2);
        engine.finishGraph();
        EXPECT_EQ(picture.canvas().pixel(c.centre.x(), c.centre.y()) == kRed, c.drawn)
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
        engine.drawSymbol(kSquareSymbol, 2, 2);
        engine.finishGraph();
        EXPECT_EQ(countPixels(picture.canvas(), kRed) > 0, c.drawn)
            << c.centre.x() << "," << c.centre.y();
    }
}

TEST_F(Symbols, SkippedAndRefusedSymbols) {
    engine.moveTo(50, 50);
    EXPECT_TRUE(engine.drawSymbol(9, 8, 0));
    EXPECT_TRUE(engine.drawSymbol(15, 8, 0));
    EXPECT_TRUE(engine.drawSymbol(kSquareSymbol, 8, -1));
    EXPECT_TRUE(engine.drawSymbol(kSquareSymbol, 8, -3));
    EXPECT_FALSE(engine.drawSymbol(kSquareSymbol, -1, 0));
    EXPECT_FALSE(engine.drawSymbol(kSquareSymbol, 8, -4));
    EXPECT_FALSE(engine.drawSymbol(kSquareSymbol, 8, 65536));
    EXPECT_FALSE(engine.drawSymbol(kSquareSymbol, 70000, 0));
    engine.finishGraph();
    EXPECT_TRUE(innerBox().isEmpty());
    EXPECT_TRUE(engine.drawSymbol(kSquareSymbol, 8, 65535)); // any fill in range is taken
    engine.finishGraph();
    EXPECT_EQ(innerBox(), QRect(46, 46, 9, 9));
}

TEST_F(Symbols, NeverLeakIntoTheNextAreaOrPicture) {
    engine.moveTo(50, 50);
    engine.drawSymbol(kSquareSymbol, 8, 2);
    engine.setPlotArea({0, 100, 0, 100});
    EXPECT_EQ(c().pixel(50, 50), kRed);
    engine.moveTo(80, 50);
    engine.drawSymbol(kSquareSymbol, 8, 2);
    engine.startGraph(kWhite, kBlack, 1);
    engine.finishGraph();
    EXPECT_EQ(c().pixel(80, 50), kWhite);
}

} // namespace

namespace {

TEST(SymbolScale, NegativeFontScaleRefusesDefaultSizedSymbols) {
    ImageEngine picture(100, 100);
    picture.engine.startGraph(kWhite, kBlack, -1);
    picture.engine.setPenColour(kRed);
    picture.engine.moveTo(50, 50);
    EXPECT_FALSE(picture.engine.drawSymbol(kSquareSymbol, 0, 0));
    picture.engine.finishGraph();
    EXPECT_EQ(countPixels(picture.canvas(), kRed), 0);
}

} // namespace

} // namespace plot
