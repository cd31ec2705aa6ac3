#include "plot/canvas.h"
#include "plot_test_support.h"

#include <QFont>
#include <QFontInfo>
#include <gtest/gtest.h>

namespace {

TEST(CanvasText, ArialResolvesToLiberationSans) {
    QFont font(QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));

    auto draw = [](const char* name) {
        Canvas canvas(80, 20);
        canvas.Font.Name = name;
        canvas.TextOut(2, 2, "Time 0.5");
        return canvas.Image();
    };
    EXPECT_EQ(draw("Arial"), draw("Liberation Sans"));
    EXPECT_NE(draw("Arial"), draw("Liberation Serif"));
}

TEST(CanvasText, SizesAreMeasuredAtNinetySixDpi) {
    Canvas canvas(10, 10);
    canvas.Font.Size = 8;
    const int width8 = canvas.TextWidth("0");
    const int height8 = canvas.TextHeight("0");
    EXPECT_EQ(width8, 6);
    EXPECT_EQ(height8, 13);
    canvas.Font.Size = 16;
    EXPECT_GE(canvas.TextWidth("0"), 2 * width8 - 1);
    EXPECT_EQ(canvas.TextWidth("000"), 3 * canvas.TextWidth("0"));
    EXPECT_EQ(canvas.TextWidth(""), 0);
}

TEST(CanvasText, TextHasTransparentBackgroundAndMovesThePen) {
    Canvas canvas(60, 30);
    canvas.Brush.Color = clBlue;
    canvas.FillRect(0, 0, 60, 30);
    canvas.Font.Color = clRed;
    canvas.TextOut(5, 4, "0");
    const QRect box(5, 4, canvas.TextWidth("0"), canvas.TextHeight("0"));
    const int red = CountPixels(canvas, box, clRed);
    EXPECT_GT(red, 5);
    // Only the glyph is painted: every other pixel, inside the box or not, keeps its colour.
    EXPECT_EQ(CountPixels(canvas, clBlue) + red, 60 * 30);
    EXPECT_EQ(canvas.PenPos(), QPoint(5 + canvas.TextWidth("0"), 4));
}

TEST(CanvasText, BoldAndRotatedTextDiffer) {
    Canvas plain(60, 60);
    plain.TextOut(20, 30, "00");
    Canvas bold(60, 60);
    bold.Font.Bold = true;
    bold.TextOut(20, 30, "00");
    EXPECT_GT(CountPixels(bold, clBlack), CountPixels(plain, clBlack));

    Canvas rotated(60, 60);
    rotated.Font.Orientation = 900; // upwards from the anchor
    rotated.TextOut(20, 30, "00");
    const QRect painted = PaintedBounds(rotated, clWhite);
    EXPECT_GT(painted.height(), painted.width());
    EXPECT_LE(painted.bottom(), 30);
}

} // namespace
