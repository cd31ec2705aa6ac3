// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/canvas.h"
#include "plot_test_support.h"

#include <gtest/gtest.h>

namespace plot {

namespace {

Canvas blank(int w, int h) {
    return Canvas(w, h);
}

TEST(CanvasRectangle, OutlineAndFillExcludeRightAndBottom) {
    Canvas canvas = blank(8, 7);
    canvas.pen.color = kRed;
    canvas.brush.color = kBlue;
    canvas.rectangle(1, 1, 6, 5);
    const std::vector<std::string> red{"........", ".#####..", ".#...#..", ".#...#..",
                                       ".#####..", "........", "........"};
    EXPECT_EQ(pixelRows(canvas, QRect(0, 0, 8, 7), kRed), red);
    EXPECT_EQ(countPixels(canvas, QRect(2, 2, 3, 2), kBlue), 6);
    EXPECT_EQ(countPixels(canvas, kBlue), 6);
}

TEST(CanvasRectangle, SwappedCornersClearBrushAndClearPen) {
    Canvas canvas = blank(8, 7);
    canvas.pen.color = kRed;
    canvas.brush.style = BrushStyle::Clear;
    canvas.rectangle(6, 5, 1, 1);
    EXPECT_EQ(countPixels(canvas, kRed), 14);
    EXPECT_EQ(countPixels(canvas, kWhite), 56 - 14);

    Canvas filled = blank(8, 7);
    filled.pen.style = PenStyle::Clear;
    filled.brush.color = kGreen;
    filled.rectangle(1, 1, 6, 5);
    // Without a pen the box shrinks by its last row and column.
    EXPECT_EQ(countPixels(filled, kGreen), 4 * 3);
    EXPECT_EQ(countPixels(filled, QRect(1, 1, 4, 3), kGreen), 12);
}

TEST(CanvasRectangle, XorAndNotFillAndOutlineTouchEachPixelOnce) {
    // Not inverts whatever the colour.
    for (auto [mode, colour] : {std::pair{PenMode::Xor, kWhite}, std::pair{PenMode::Not, kRed}}) {
        Canvas canvas = blank(10, 10);
        canvas.pen.mode = mode;
        canvas.pen.color = colour;
        canvas.brush.color = colour;
        canvas.rectangle(0, 0, 10, 10);
        EXPECT_EQ(countPixels(canvas, kBlack), 100);
    }
}

TEST(CanvasFillRect, FillsTheBoxWithoutRightAndBottomClippedToTheImage) {
    struct Case {
        int left, top, right, bottom;
        QRect filled;
    };
    const Case cases[] = {
        {1, 2, 6, 5, QRect(1, 2, 5, 3)},
        {6, 5, 1, 2, QRect(1, 2, 5, 3)},     // corners swapped
        {-3, -2, 4, 3, QRect(0, 0, 4, 3)},   // beyond left and top
        {5, 4, 20, 20, QRect(5, 4, 3, 3)},   // beyond right and bottom
        {-9, -9, 99, 99, QRect(0, 0, 8, 7)}, // beyond every edge
        {3, 3, 3, 6, QRect()},               // no width
        {8, 0, 12, 7, QRect()},              // right of the image
    };
    for (const Case& c : cases) {
        Canvas canvas = blank(8, 7);
        canvas.brush.color = kBlue;
        canvas.fillRect(c.left, c.top, c.right, c.bottom);
        const int area = c.filled.width() * c.filled.height();
        EXPECT_EQ(countPixels(canvas, kBlue), area) << c.left << "," << c.top;
        EXPECT_EQ(countPixels(canvas, c.filled, kBlue), area) << c.left << "," << c.top;
    }
}

TEST(CanvasEllipse, CircleFillsItsBoxSymmetrically) {
    Canvas canvas = blank(13, 13);
    canvas.pen.color = kRed;
    canvas.brush.color = kBlue;
    canvas.ellipse(2, 2, 11, 11); // 9 x 9 box centred on (6, 6)
    const QRect painted = paintedBounds(canvas, kWhite);
    EXPECT_EQ(painted, QRect(2, 2, 9, 9));
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 13; ++x) {
            EXPECT_EQ(canvas.pixel(x, y), canvas.pixel(12 - x, y)) << x << "," << y;
            EXPECT_EQ(canvas.pixel(x, y), canvas.pixel(y, x)) << x << "," << y;
        }
    }
    EXPECT_EQ(canvas.pixel(6, 6), kBlue);
    EXPECT_EQ(canvas.pixel(2, 6), kRed);
    EXPECT_EQ(canvas.pixel(2, 2), kWhite);
    // The outline is closed: no blue pixel touches the white outside.
    for (int y = 1; y < 12; ++y) {
        for (int x = 1; x < 12; ++x) {
            if (canvas.pixel(x, y) == kBlue) {
                EXPECT_NE(canvas.pixel(x - 1, y), kWhite);
                EXPECT_NE(canvas.pixel(x + 1, y), kWhite);
                EXPECT_NE(canvas.pixel(x, y - 1), kWhite);
                EXPECT_NE(canvas.pixel(x, y + 1), kWhite);
            }
        }
    }
}

TEST(CanvasEllipse, HugeEllipseIsClippedToTheImage) {
    Canvas canvas = blank(20, 20);
    canvas.pen.color = kRed;
    canvas.brush.color = kBlue;
    canvas.ellipse(-65535, -65535, 65536, 65536);
    EXPECT_EQ(countPixels(canvas, kBlue), 400);
}

TEST(CanvasPolygon, TriangleFilledInsideItsOutline) {
    Canvas canvas = blank(11, 11);
    canvas.pen.color = kRed;
    canvas.brush.color = kBlue;
    const QPoint penBefore(7, 7);
    canvas.moveTo(penBefore.x(), penBefore.y());
    canvas.polygon({{1, 8}, {9, 8}, {5, 2}});
    EXPECT_EQ(canvas.penPos(), penBefore);
    EXPECT_EQ(paintedBounds(canvas, kWhite), QRect(1, 2, 9, 7));
    for (int x = 1; x <= 9; ++x) {
        EXPECT_EQ(canvas.pixel(x, 8), kRed) << x; // bottom edge, every pixel
    }
    EXPECT_EQ(canvas.pixel(5, 2), kRed);
    EXPECT_EQ(canvas.pixel(5, 6), kBlue);
    EXPECT_EQ(canvas.pixel(1, 2), kWhite);
}

} // namespace

namespace {

TEST(CanvasShapes, WidePensAndXorPaintEachPixelOnce) {
    for (int width : {1, 2, 3, 6}) {
        Canvas canvas(40, 40);
        canvas.pen.mode = PenMode::Xor;
        canvas.pen.color = kWhite;
        canvas.pen.width = width;
        canvas.brush.color = kWhite;
        canvas.ellipse(5, 5, 35, 30);
        canvas.polygon({{2, 38}, {20, 32}, {38, 38}});
        canvas.moveTo(-10, 3);
        canvas.lineTo(45, 20);
        const int painted = countPixels(canvas, kBlack);
        EXPECT_GT(painted, 0) << width;
        // Painting the same figures again must restore every pixel.
        canvas.ellipse(5, 5, 35, 30);
        canvas.polygon({{2, 38}, {20, 32}, {38, 38}});
        canvas.moveTo(-10, 3);
        canvas.lineTo(45, 20);
        EXPECT_EQ(countPixels(canvas, kWhite), 40 * 40) << width;
    }
}

TEST(CanvasShapes, WideOutlineGrowsInwards) {
    Canvas thin(30, 30);
    thin.pen.color = kRed;
    thin.brush.color = kBlue;
    thin.ellipse(0, 0, 30, 30);
    Canvas thick(30, 30);
    thick.pen.color = kRed;
    thick.brush.color = kBlue;
    thick.pen.width = 4;
    thick.ellipse(0, 0, 30, 30);
    EXPECT_EQ(paintedBounds(thick, kWhite), paintedBounds(thin, kWhite));
    EXPECT_GT(countPixels(thick, kRed), 3 * countPixels(thin, kRed));
    EXPECT_EQ(thick.pixel(15, 15), kBlue);
}

TEST(CanvasShapes, AbsurdPenWidthsStayCheap) {
    Canvas canvas(50, 50);
    canvas.pen.color = kRed;
    canvas.pen.width = 1000000000;
    canvas.moveTo(0, 0);
    canvas.lineTo(49, 49);
    canvas.ellipse(10, 10, 40, 40);
    EXPECT_EQ(countPixels(canvas, kRed), 50 * 50);
}

} // namespace

} // namespace plot
