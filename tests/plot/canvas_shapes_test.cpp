#include "plot/canvas.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace {

Canvas Blank(int w, int h) {
    return Canvas(w, h);
}

TEST(CanvasRectangle, OutlineAndFillExcludeRightAndBottom) {
    Canvas canvas = Blank(8, 7);
    canvas.Pen.Color = clRed;
    canvas.Brush.Color = clBlue;
    canvas.Rectangle(1, 1, 6, 5);
    const std::vector<std::string> red{"........", ".#####..", ".#...#..", ".#...#..",
                                       ".#####..", "........", "........"};
    EXPECT_EQ(PixelRows(canvas, QRect(0, 0, 8, 7), clRed), red);
    EXPECT_EQ(CountPixels(canvas, QRect(2, 2, 3, 2), clBlue), 6);
    EXPECT_EQ(CountPixels(canvas, clBlue), 6);
}

TEST(CanvasRectangle, SwappedCornersClearBrushAndClearPen) {
    Canvas canvas = Blank(8, 7);
    canvas.Pen.Color = clRed;
    canvas.Brush.Style = TBrushStyle::Clear;
    canvas.Rectangle(6, 5, 1, 1);
    EXPECT_EQ(CountPixels(canvas, clRed), 14);
    EXPECT_EQ(CountPixels(canvas, clWhite), 56 - 14);

    Canvas filled = Blank(8, 7);
    filled.Pen.Style = TPenStyle::Clear;
    filled.Brush.Color = clGreen;
    filled.Rectangle(1, 1, 6, 5);
    // Without a pen the box shrinks by its last row and column.
    EXPECT_EQ(CountPixels(filled, clGreen), 4 * 3);
    EXPECT_EQ(CountPixels(filled, QRect(1, 1, 4, 3), clGreen), 12);
}

TEST(CanvasRectangle, XorFillAndOutlineTouchEachPixelOnce) {
    Canvas canvas = Blank(10, 10);
    canvas.Pen.Mode = TPenMode::Xor;
    canvas.Pen.Color = clWhite;
    canvas.Brush.Color = clWhite;
    canvas.Rectangle(0, 0, 10, 10);
    EXPECT_EQ(CountPixels(canvas, clBlack), 100);
}

TEST(CanvasEllipse, CircleFillsItsBoxSymmetrically) {
    Canvas canvas = Blank(13, 13);
    canvas.Pen.Color = clRed;
    canvas.Brush.Color = clBlue;
    canvas.Ellipse(2, 2, 11, 11); // 9 x 9 box centred on (6, 6)
    const QRect painted = PaintedBounds(canvas, clWhite);
    EXPECT_EQ(painted, QRect(2, 2, 9, 9));
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 13; ++x) {
            EXPECT_EQ(canvas.Pixel(x, y), canvas.Pixel(12 - x, y)) << x << "," << y;
            EXPECT_EQ(canvas.Pixel(x, y), canvas.Pixel(y, x)) << x << "," << y;
        }
    }
    EXPECT_EQ(canvas.Pixel(6, 6), clBlue);
    EXPECT_EQ(canvas.Pixel(2, 6), clRed);
    EXPECT_EQ(canvas.Pixel(2, 2), clWhite);
    // The outline is closed: no blue pixel touches the white outside.
    for (int y = 1; y < 12; ++y) {
        for (int x = 1; x < 12; ++x) {
            if (canvas.Pixel(x, y) == clBlue) {
                EXPECT_NE(canvas.Pixel(x - 1, y), clWhite);
                EXPECT_NE(canvas.Pixel(x + 1, y), clWhite);
                EXPECT_NE(canvas.Pixel(x, y - 1), clWhite);
                EXPECT_NE(canvas.Pixel(x, y + 1), clWhite);
            }
        }
    }
}

TEST(CanvasEllipse, HugeEllipseIsClippedToTheImage) {
    Canvas canvas = Blank(20, 20);
    canvas.Pen.Color = clRed;
    canvas.Brush.Color = clBlue;
    canvas.Ellipse(-65535, -65535, 65536, 65536);
    EXPECT_EQ(CountPixels(canvas, clBlue), 400);
}

TEST(CanvasPolygon, TriangleFilledInsideItsOutline) {
    Canvas canvas = Blank(11, 11);
    canvas.Pen.Color = clRed;
    canvas.Brush.Color = clBlue;
    const QPoint penBefore(7, 7);
    canvas.MoveTo(penBefore.x(), penBefore.y());
    canvas.Polygon({{1, 8}, {9, 8}, {5, 2}});
    EXPECT_EQ(canvas.PenPos(), penBefore);
    EXPECT_EQ(PaintedBounds(canvas, clWhite), QRect(1, 2, 9, 7));
    for (int x = 1; x <= 9; ++x) {
        EXPECT_EQ(canvas.Pixel(x, 8), clRed) << x; // bottom edge, every pixel
    }
    EXPECT_EQ(canvas.Pixel(5, 2), clRed);
    EXPECT_EQ(canvas.Pixel(5, 6), clBlue);
    EXPECT_EQ(canvas.Pixel(1, 2), clWhite);
}

} // namespace

namespace {

TEST(CanvasShapes, WidePensAndXorPaintEachPixelOnce) {
    for (int width : {1, 2, 3, 6}) {
        Canvas canvas(40, 40);
        canvas.Pen.Mode = TPenMode::Xor;
        canvas.Pen.Color = clWhite;
        canvas.Pen.Width = width;
        canvas.Brush.Color = clWhite;
        canvas.Ellipse(5, 5, 35, 30);
        canvas.Polygon({{2, 38}, {20, 32}, {38, 38}});
        canvas.MoveTo(-10, 3);
        canvas.LineTo(45, 20);
        const int painted = CountPixels(canvas, clBlack);
        EXPECT_GT(painted, 0) << width;
        // Painting the same figures again must restore every pixel.
        canvas.Ellipse(5, 5, 35, 30);
        canvas.Polygon({{2, 38}, {20, 32}, {38, 38}});
        canvas.MoveTo(-10, 3);
        canvas.LineTo(45, 20);
        EXPECT_EQ(CountPixels(canvas, clWhite), 40 * 40) << width;
    }
}

TEST(CanvasShapes, WideOutlineGrowsInwards) {
    Canvas thin(30, 30);
    thin.Pen.Color = clRed;
    thin.Brush.Color = clBlue;
    thin.Ellipse(0, 0, 30, 30);
    Canvas thick(30, 30);
    thick.Pen.Color = clRed;
    thick.Brush.Color = clBlue;
    thick.Pen.Width = 4;
    thick.Ellipse(0, 0, 30, 30);
    EXPECT_EQ(PaintedBounds(thick, clWhite), PaintedBounds(thin, clWhite));
    EXPECT_GT(CountPixels(thick, clRed), 3 * CountPixels(thin, clRed));
    EXPECT_EQ(thick.Pixel(15, 15), clBlue);
}

TEST(CanvasShapes, AbsurdPenWidthsStayCheap) {
    Canvas canvas(50, 50);
    canvas.Pen.Color = clRed;
    canvas.Pen.Width = 1000000000;
    canvas.MoveTo(0, 0);
    canvas.LineTo(49, 49);
    canvas.Ellipse(10, 10, 40, 40);
    EXPECT_EQ(CountPixels(canvas, clRed), 50 * 50);
}

} // namespace
