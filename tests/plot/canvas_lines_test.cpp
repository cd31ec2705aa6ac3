// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/canvas.h"
#include "plot/colors.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace plot {

namespace {

struct LineCase {
    const char* name;
    QPoint from;
    QPoint to;
    std::vector<std::string> rows; // pixels of the 7 x 5 box at (0, 0)
};

class LinePixels : public ::testing::TestWithParam<LineCase> {};

TEST_P(LinePixels, LeaveOutTheEndPixel) {
    const LineCase& c = GetParam();
    Canvas canvas(7, 5);
    canvas.pen.color = kRed;
    canvas.moveTo(c.from.x(), c.from.y());
    canvas.lineTo(c.to.x(), c.to.y());
    EXPECT_EQ(pixelRows(canvas, QRect(0, 0, 7, 5), kRed), c.rows) << c.name;
    EXPECT_EQ(canvas.penPos(), c.to);
}

INSTANTIATE_TEST_SUITE_P(
    Canvas, LinePixels,
    ::testing::Values(
        LineCase{
            "horizontal", {1, 2}, {5, 2}, {".......", ".......", ".####..", ".......", "......."}},
        LineCase{
            "leftwards", {5, 2}, {1, 2}, {".......", ".......", "..####.", ".......", "......."}},
        LineCase{
            "vertical", {3, 0}, {3, 4}, {"...#...", "...#...", "...#...", "...#...", "......."}},
        LineCase{
            "diagonal", {0, 0}, {4, 4}, {"#......", ".#.....", "..#....", "...#...", "......."}},
        LineCase{
            "shallow", {0, 0}, {6, 2}, {"##.....", "..###..", ".....#.", ".......", "......."}},
        LineCase{
            "zero length", {2, 2}, {2, 2}, {".......", ".......", ".......", ".......", "......."}},
        LineCase{"starts off the image",
                 {-3, 2},
                 {3, 2},
                 {".......", ".......", "###....", ".......", "......."}}));

TEST(CanvasLine, XorTwiceRestoresThePicture) {
    Canvas canvas(40, 30);
    canvas.brush.color = kButtonFace;
    canvas.fillRect(0, 0, 40, 30);
    canvas.pen.color = kRed;
    canvas.moveTo(3, 3);
    canvas.lineTo(30, 20);
    const QImage before = canvas.image().copy();

    canvas.pen.mode = PenMode::Xor;
    canvas.pen.color = kBlue;
    for (int pass = 0; pass < 2; ++pass) {
        canvas.moveTo(0, 10);
        canvas.lineTo(39, 12);
        canvas.moveTo(2, 25);
        canvas.lineTo(35, 1);
        if (pass == 0) {
            // Over the button face: 0xF0F0F0 xor 0xFF0000 (blue) gives 0x0FF0F0 as BGR.
            EXPECT_EQ(canvas.pixel(0, 10), makeColor(0xF0, 0xF0, 0x0F));
        }
    }
    EXPECT_EQ(canvas.image(), before);
}

TEST(CanvasLine, NotModeInvertsEveryPixelOnce) {
    Canvas canvas(10, 3);
    canvas.pen.mode = PenMode::Not;
    canvas.moveTo(0, 1);
    canvas.lineTo(10, 1);
    EXPECT_EQ(countPixels(canvas, QRect(0, 1, 10, 1), kBlack), 10);
    EXPECT_EQ(countPixels(canvas, kWhite), 20);
}

TEST(CanvasLine, HugeCoordinatesDrawOnlyTheVisiblePart) {
    Canvas canvas(20, 20);
    canvas.pen.color = kGreen;
    canvas.moveTo(-2000000000, 10);
    canvas.lineTo(2000000000, 10);
    EXPECT_EQ(countPixels(canvas, kGreen), 20);
    canvas.moveTo(5, -2000000000);
    canvas.lineTo(5, 2000000000);
    EXPECT_EQ(countPixels(canvas, QRect(5, 0, 1, 20), kGreen), 20);
}

TEST(CanvasLine, StylesAndWidths) {
    Canvas canvas(40, 20);
    canvas.pen.color = kRed;
    canvas.pen.style = PenStyle::Dot;
    canvas.moveTo(0, 1);
    canvas.lineTo(12, 1);
    EXPECT_EQ(pixelRows(canvas, QRect(0, 1, 12, 1), kRed)[0], "###...###...");

    canvas.pen.style = PenStyle::Clear;
    canvas.moveTo(0, 3);
    canvas.lineTo(12, 3);
    EXPECT_EQ(countPixels(canvas, QRect(0, 3, 40, 1), kRed), 0);

    // A wide pen includes both ends and is as thick as its width.
    canvas.pen.style = PenStyle::Solid;
    canvas.pen.width = 3;
    canvas.moveTo(10, 10);
    canvas.lineTo(20, 10);
    EXPECT_EQ(countPixels(canvas, QRect(9, 9, 13, 3), kRed), 13 * 3);
    EXPECT_EQ(countPixels(canvas, QRect(9, 8, 13, 1), kRed), 0);
}

TEST(CanvasPixel, SetIgnoresPenModeAndOutsideReadsMinusOne) {
    Canvas canvas(4, 4);
    canvas.pen.mode = PenMode::Xor;
    canvas.setPixel(1, 1, kBlue);
    EXPECT_EQ(canvas.pixel(1, 1), kBlue);
    EXPECT_EQ(canvas.pixel(-1, 0), -1);
    EXPECT_EQ(canvas.pixel(4, 0), -1);
    canvas.setPixel(9, 9, kBlue); // outside: nothing happens
}

TEST(Colors, SystemAndPlainColoursResolve) {
    EXPECT_EQ(kBlue, 0x00FF0000);
    EXPECT_EQ(kGreen, 0x00008000);
    EXPECT_EQ(static_cast<std::uint32_t>(kButtonFace), 0xFF00000Fu);
    EXPECT_EQ(colorToRgb(kButtonFace), makeColor(240, 240, 240));
    EXPECT_EQ(toQRgb(kBlue), qRgb(0, 0, 255));
    EXPECT_EQ(fromQRgb(qRgb(1, 2, 3)), 0x00030201);
}

} // namespace

} // namespace plot
