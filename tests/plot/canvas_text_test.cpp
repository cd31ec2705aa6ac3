// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/canvas.h"
#include "plot_test_support.h"

#include <QFont>
#include <QFontInfo>
#include <gtest/gtest.h>

namespace plot {

namespace {

TEST(CanvasText, ArialResolvesToLiberationSans) {
    QFont font(QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));

    auto draw = [](const char* name) {
        Canvas canvas(80, 20);
        canvas.font.name = name;
        canvas.textOut(2, 2, "Time 0.5");
        return canvas.image();
    };
    EXPECT_EQ(draw("Arial"), draw("Liberation Sans"));
    EXPECT_NE(draw("Arial"), draw("Liberation Serif"));
}

TEST(CanvasText, SizesAreMeasuredAtNinetySixDpi) {
    Canvas canvas(10, 10);
    canvas.font.size = 8;
    const int width8 = canvas.textWidth("0");
    const int height8 = canvas.textHeight("0");
    EXPECT_EQ(width8, 6);
    EXPECT_EQ(height8, 13);
    canvas.font.size = 16;
    EXPECT_GE(canvas.textWidth("0"), 2 * width8 - 1);
    EXPECT_EQ(canvas.textWidth("000"), 3 * canvas.textWidth("0"));
    EXPECT_EQ(canvas.textWidth(""), 0);
}

TEST(CanvasText, TextHasTransparentBackgroundAndMovesThePen) {
    Canvas canvas(60, 30);
    canvas.brush.color = kBlue;
    canvas.fillRect(0, 0, 60, 30);
    canvas.font.color = kRed;
    canvas.textOut(5, 4, "0");
    const QRect box(5, 4, canvas.textWidth("0"), canvas.textHeight("0"));
    const int red = countPixels(canvas, box, kRed);
    EXPECT_GT(red, 5);
    // Only the glyph is painted: every other pixel, inside the box or not, keeps its colour.
    EXPECT_EQ(countPixels(canvas, kBlue) + red, 60 * 30);
    EXPECT_EQ(canvas.penPos(), QPoint(5 + canvas.textWidth("0"), 4));
}

TEST(CanvasText, BoldAndRotatedTextDiffer) {
    Canvas plain(60, 60);
    plain.textOut(20, 30, "00");
    Canvas bold(60, 60);
    bold.font.bold = true;
    bold.textOut(20, 30, "00");
    EXPECT_GT(countPixels(bold, kBlack), countPixels(plain, kBlack));

    Canvas rotated(60, 60);
    rotated.font.orientation = 900; // upwards from the anchor
    rotated.textOut(20, 30, "00");
    const QRect painted = paintedBounds(rotated, kWhite);
    EXPECT_GT(painted.height(), painted.width());
    EXPECT_LE(painted.bottom(), 30);
}

} // namespace

} // namespace plot
