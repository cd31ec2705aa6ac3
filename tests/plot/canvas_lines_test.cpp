#include "plot/canvas.h"
#include "plot/colors.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

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
    canvas.Pen.Color = clRed;
    canvas.MoveTo(c.from.x(), c.from.y());
    canvas.LineTo(c.to.x(), c.to.y());
    EXPECT_EQ(PixelRows(canvas, QRect(0, 0, 7, 5), clRed), c.rows) << c.name;
    EXPECT_EQ(canvas.PenPos(), c.to);
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
    canvas.Brush.Color = clBtnFace;
    canvas.FillRect(0, 0, 40, 30);
    canvas.Pen.Color = clRed;
    canvas.MoveTo(3, 3);
    canvas.LineTo(30, 20);
    const QImage before = canvas.Image().copy();

    canvas.Pen.Mode = TPenMode::Xor;
    canvas.Pen.Color = clBlue;
    for (int pass = 0; pass < 2; ++pass) {
        canvas.MoveTo(0, 10);
        canvas.LineTo(39, 12);
        canvas.MoveTo(2, 25);
        canvas.LineTo(35, 1);
        if (pass == 0) {
            // Over the button face: 0xF0F0F0 xor 0xFF0000 (blue) gives 0x0FF0F0 as BGR.
            EXPECT_EQ(canvas.Pixel(0, 10), MakeColor(0xF0, 0xF0, 0x0F));
        }
    }
    EXPECT_EQ(canvas.Image(), before);
}

TEST(CanvasLine, NotModeInvertsEveryPixelOnce) {
    Canvas canvas(10, 3);
    canvas.Pen.Mode = TPenMode::Not;
    canvas.MoveTo(0, 1);
    canvas.LineTo(10, 1);
    EXPECT_EQ(CountPixels(canvas, QRect(0, 1, 10, 1), clBlack), 10);
    EXPECT_EQ(CountPixels(canvas, clWhite), 20);
}

TEST(CanvasLine, HugeCoordinatesDrawOnlyTheVisiblePart) {
    Canvas canvas(20, 20);
    canvas.Pen.Color = clGreen;
    canvas.MoveTo(-2000000000, 10);
    canvas.LineTo(2000000000, 10);
    EXPECT_EQ(CountPixels(canvas, clGreen), 20);
    canvas.MoveTo(5, -2000000000);
    canvas.LineTo(5, 2000000000);
    EXPECT_EQ(CountPixels(canvas, QRect(5, 0, 1, 20), clGreen), 20);
}

TEST(CanvasLine, StylesAndWidths) {
    Canvas canvas(40, 20);
    canvas.Pen.Color = clRed;
    canvas.Pen.Style = TPenStyle::Dot;
    canvas.MoveTo(0, 1);
    canvas.LineTo(12, 1);
    EXPECT_EQ(PixelRows(canvas, QRect(0, 1, 12, 1), clRed)[0], "###...###...");

    canvas.Pen.Style = TPenStyle::Clear;
    canvas.MoveTo(0, 3);
    canvas.LineTo(12, 3);
    EXPECT_EQ(CountPixels(canvas, QRect(0, 3, 40, 1), clRed), 0);

    // A wide pen includes both ends and is as thick as its width.
    canvas.Pen.Style = TPenStyle::Solid;
    canvas.Pen.Width = 3;
    canvas.MoveTo(10, 10);
    canvas.LineTo(20, 10);
    EXPECT_EQ(CountPixels(canvas, QRect(9, 9, 13, 3), clRed), 13 * 3);
    EXPECT_EQ(CountPixels(canvas, QRect(9, 8, 13, 1), clRed), 0);
}

TEST(CanvasPixel, SetIgnoresPenModeAndOutsideReadsMinusOne) {
    Canvas canvas(4, 4);
    canvas.Pen.Mode = TPenMode::Xor;
    canvas.SetPixel(1, 1, clBlue);
    EXPECT_EQ(canvas.Pixel(1, 1), clBlue);
    EXPECT_EQ(canvas.Pixel(-1, 0), -1);
    EXPECT_EQ(canvas.Pixel(4, 0), -1);
    canvas.SetPixel(9, 9, clBlue); // outside: nothing happens
}

TEST(Colors, SystemAndPlainColoursResolve) {
    EXPECT_EQ(clBlue, 0x00FF0000);
    EXPECT_EQ(clGreen, 0x00008000);
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0xFF00000Fu);
    EXPECT_EQ(ColorToRGB(clBtnFace), MakeColor(240, 240, 240));
    EXPECT_EQ(ToQRgb(clBlue), qRgb(0, 0, 255));
    EXPECT_EQ(FromQRgb(qRgb(1, 2, 3)), 0x00030201);
}

} // namespace
