#pragma once

#include "plot/colors.h"

#include <QImage>
#include <QPoint>
#include <string>
#include <vector>

enum class TPenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };

// How pen and brush pixels combine with the picture: Copy paints the colour, Xor flips the bits of
// the colour into the pixel, Not inverts the pixel.
enum class TPenMode { Copy, Xor, Not };

enum class TBrushStyle { Solid, Clear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = TPenStyle::Solid;
    TPenMode Mode = TPenMode::Copy;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::Solid;
};

struct TFont {
    std::string Name = "Arial";
    int Size = 8; // points at 96 dpi
    TColor Color = clBlack;
    bool Bold = false;
    bool Italic = false;
    int Orientation = 0; // text direction in tenths of a degree, counter-clockwise
    bool Antialiased = false;
};

// A drawing surface over a 32-bit QImage with the conventions of the classic desktop canvas:
// a line leaves out its last pixel, rectangle and ellipse boxes exclude their right and bottom
// edge, text has a transparent background. One-pixel lines and all pen modes are rasterised with
// integer arithmetic, so the pixels are the same on every machine.
class Canvas {
public:
    Canvas();
    Canvas(int width, int height);

    TPen Pen;
    TBrush Brush;
    TFont Font;

    void SetSize(int width, int height);
    int Width() const { return Image_.width(); }
    int Height() const { return Image_.height(); }
    QImage& Image() { return Image_; }
    const QImage& Image() const { return Image_; }

    // The pixel's colour, or -1 outside the surface. Setting a pixel ignores the pen mode.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    QPoint PenPos() const { return PenPos_; }
    void MoveTo(int x, int y);
    // Draws from the pen position to (x, y) without that end pixel (one-pixel pens), then moves the
    // pen there.
    void LineTo(int x, int y);

    // Outline with the pen, inside with the brush; the box is left..right-1 x top..bottom-1.
    void Rectangle(int left, int top, int right, int bottom);
    // Fills the box with the brush colour, ignoring the pen.
    void FillRect(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    // Filled (alternate rule) with the brush, then outlined with the pen as a closed path.
    void Polygon(const std::vector<QPoint>& points);

    // Text in the font colour with its top-left corner at (x, y), background transparent; the pen
    // moves to the end of the text.
    void TextOut(int x, int y, const std::string& text);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;

private:
    QImage Image_;
    QPoint PenPos_;
};
