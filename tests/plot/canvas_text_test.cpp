// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/canvas.h"
#include "plot/canvas_font.h"
#include "plot_test_support.h"

#include <QFont>
#include <QFontInfo>
#include <QPainter>
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

// The text as the toolkit draws it onto the canvas's picture, the canvas's own way aside.
QImage drawnByToolkit(QImage picture, int x, int y, const std::string& text, const Font& font) {
    QPainter painter(&picture);
    const QFont qtFont = qtFontOf(font);
    painter.setFont(qtFont);
    painter.setPen(QColor::fromRgb(toQRgb(font.color)));
    painter.setRenderHint(QPainter::TextAntialiasing, font.antialiased);
    painter.drawText(x, y + fontAscent(qtFont),
                     QString::fromLatin1(text.c_str(), static_cast<qsizetype>(text.size())));
    painter.end();
    return picture;
}

// Upright texts are stamped from the pixels the toolkit set once: every text, face, size, weight
// and colour sets the same pixels as the toolkit's drawing, also where it leaves the picture, and
// again from the stamp at another place.
TEST(CanvasText, StampedTextIsTheToolkitsDrawing) {
    struct Face {
        const char* name;
        int size;
        bool bold;
        bool italic;
    };
    const Face faces[] = {{"Arial", 8, false, false},
                          {"Arial", 12, true, false},
                          {"Times New Roman", 10, false, true},
                          {"Courier New", 9, false, false}};
    const char* texts[] = {"1E-9", "tau/s", "deviation (fractional)", "wfm.dat ADEV", "(Wg|j)"};
    const QPoint places[] = {{20, 15}, {-7, 3}, {150, 52}, {60, -6}};
    for (const Face& face : faces) {
        for (const char* text : texts) {
            Canvas canvas(180, 60);
            canvas.brush.color = kSilver;
            canvas.fillRect(0, 0, 180, 60);
            canvas.font.name = face.name;
            canvas.font.size = face.size;
            canvas.font.bold = face.bold;
            canvas.font.italic = face.italic;
            QImage expected = canvas.image();
            for (const QPoint at : places) {
                canvas.font.color = at.x() < 0 ? kRed : kNavy;
                expected = drawnByToolkit(expected, at.x(), at.y(), text, canvas.font);
                canvas.textOut(at.x(), at.y(), text);
                ASSERT_EQ(canvas.image(), expected) << face.name << " " << face.size << " " << text
                                                    << " at " << at.x() << "," << at.y();
            }
        }
    }
}

} // namespace

} // namespace plot
