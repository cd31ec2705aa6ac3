// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/colors.h"

#include <QImage>
#include <QPoint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace plot {

class TextStamp;
class VectorEcho;

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };

// How pen and brush pixels combine with the picture: Copy paints the colour, Xor flips the bits of
// the colour into the pixel, Not inverts the pixel.
enum class PenMode { Copy, Xor, Not };

enum class BrushStyle { Solid, Clear };

struct Pen {
    Color color = kBlack;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    PenMode mode = PenMode::Copy;
};

struct Brush {
    Color color = kWhite;
    BrushStyle style = BrushStyle::Solid;
};

struct Font {
    std::string name = "Arial";
    int size = 8; // points at 96 dpi
    Color color = kBlack;
    bool bold = false;
    bool italic = false;
    int orientation = 0; // text direction in tenths of a degree, counter-clockwise
    bool antialiased = false;
};

// A drawing surface over a 32-bit QImage with the conventions of the classic desktop canvas:
// a line leaves out its last pixel, rectangle and ellipse boxes exclude their right and bottom
// edge, text has a transparent background. One-pixel lines and all pen modes are rasterised with
// integer arithmetic, so the pixels are the same on every machine.
class Canvas {
public:
    Canvas();
    Canvas(int width, int height);

    Pen pen;
    Brush brush;
    Font font;

    void setSize(int width, int height);
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

    // The pixel's colour, or -1 outside the surface. Setting a pixel ignores the pen mode.
    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color color);

    QPoint penPos() const { return penPos_; }
    void moveTo(int x, int y);
    // Draws from the pen position to (x, y) without that end pixel (one-pixel pens), then moves the
    // pen there.
    void lineTo(int x, int y);

    // Outline with the pen, inside with the brush; the box is left..right-1 x top..bottom-1.
    void rectangle(int left, int top, int right, int bottom);
    // Fills the box with the brush colour, ignoring the pen.
    void fillRect(int left, int top, int right, int bottom);
    void ellipse(int left, int top, int right, int bottom);
    // Filled (alternate rule) with the brush, then outlined with the pen as a closed path.
    void polygon(const std::vector<QPoint>& points);

    // Text in the font colour with its top-left corner at (x, y), background transparent; the pen
    // moves to the end of the text.
    void textOut(int x, int y, const std::string& text);
    int textWidth(const std::string& text) const;
    int textHeight(const std::string& text) const;

    // Everything drawn from now on in Copy mode is also drawn as vector shapes through `echo`
    // (nothing: no longer); the canvas does not own it.
    void echoTo(VectorEcho* echo) { echo_ = echo; }
    bool echoing() const { return echo_ != nullptr; }

private:
    QImage image_;
    QPoint penPos_;
    VectorEcho* echo_ = nullptr;
    // The text with the font's face, size and weight, as the key of what is remembered of it.
    std::string textKey(const std::string& text) const;
    // The stamp of an upright text without antialiasing in the font; none for any other text.
    const TextStamp* textStamp(const std::string& text);

    // Measuring text shapes it; a repaint measures the same few labels again and again.
    mutable std::unordered_map<std::string, int> textWidths_;
    // And draws them again: upright texts without antialiasing as stamps of their pixels (none
    // where the toolkit's own drawing is needed).
    std::unordered_map<std::string, std::shared_ptr<const TextStamp>> textStamps_;
};

} // namespace plot
