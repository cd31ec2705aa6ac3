// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/print_layout.h"
#include "tests/plot/fake_print_target.h"

#include <gtest/gtest.h>

namespace plot {

namespace {

struct LayoutCase {
    const char* what;
    int pictureWidth;
    int pictureHeight;
    int code;
    double fraction;
    PrintOrientation orientation;
    PrintLayout layout;
};

// The page is 4800 x 6800 printer pixels upright, 6800 x 4800 on its side.
TEST(PrintLayout, OrientationPlacementAndCellSize) {
    const auto portrait = PrintOrientation::Portrait;
    const auto landscape = PrintOrientation::Landscape;
    const LayoutCase cases[] = {
        {"graph control, component's arguments", 1122, 476, 0, 0, landscape, {5, 595, 1210}},
        {"code 31: landscape, top-left", 1122, 476, 31, 0, landscape, {5, 0, 0}},
        {"code 27: portrait, bottom-left", 1122, 476, 27, 0, portrait, {3, 0, 5372}},
        {"code 29: portrait, bottom-right", 1122, 476, 29, 0, portrait, {3, 1434, 5372}},
        {"code 22: portrait, top-centre", 1122, 476, 22, 0, portrait, {3, 717, 0}},
        {"code 36: landscape, middle-right", 1122, 476, 36, 0, landscape, {5, 1190, 1210}},
        {"code 38: landscape, bottom-centre", 1122, 476, 38, 0, landscape, {5, 595, 2420}},
        {"tall picture prints portrait", 300, 600, 0, 0, portrait, {10, 900, 400}},
        {"square picture prints landscape", 400, 400, 5, 0, landscape, {10, 1400, 400}},
        {"tens digit 1 chooses by the picture", 300, 600, 14, 0, portrait, {10, 0, 400}},
        {"fraction 1 uses the whole page", 1122, 476, 0, 1, landscape, {6, 34, 972}},
        {"fraction above 1 counts as 1", 1122, 476, 0, 7.5, landscape, {6, 34, 972}},
        {"fraction below 0.1 counts as 0.1", 100, 100, 0, 0.01, landscape, {4, 3200, 2200}},
        {"picture larger than the page share", 7000, 476, 0, 0, landscape, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        FakePrintTarget printer(4800, 6800);
        const PrintLayout layout =
            layOutPrint(printer, c.pictureWidth, c.pictureHeight, c.code, c.fraction);
        EXPECT_EQ(printer.orientation, c.orientation) << c.what;
        EXPECT_EQ(layout.cellSize, c.layout.cellSize) << c.what;
        EXPECT_EQ(layout.printOffsetX, c.layout.printOffsetX) << c.what;
        EXPECT_EQ(layout.printOffsetY, c.layout.printOffsetY) << c.what;
    }
}

TEST(PrintLayout, NothingFitsWithoutPageOrPicture) {
    FakePrintTarget noPage(0, 6800);
    EXPECT_EQ(layOutPrint(noPage, 1122, 476, 0, 0).cellSize, 0);
    FakePrintTarget page(4800, 6800);
    EXPECT_EQ(layOutPrint(page, 0, 476, 0, 0).cellSize, 0);
    EXPECT_EQ(layOutPrint(page, 1122, 0, 0, 0).cellSize, 0);
}

TEST(PrintLayout, FractionAndPlacementDigits) {
    EXPECT_DOUBLE_EQ(printFraction(0), 0.9);
    EXPECT_DOUBLE_EQ(printFraction(0.05), 0.1);
    EXPECT_DOUBLE_EQ(printFraction(0.5), 0.5);
    EXPECT_DOUBLE_EQ(printFraction(3), 1.0);
    EXPECT_EQ(printPlacementFor(30), 5);
    EXPECT_EQ(printPlacementFor(27), 7);
    EXPECT_EQ(printPlacementFor(-4), 5);
}

} // namespace

} // namespace plot
