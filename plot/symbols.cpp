#include "plot/symbols.h"

#include "plot/primitives.h"
#include "plot/rounding.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kMaxField = std::numeric_limits<std::uint16_t>::max();

void SetSymbolBrush(Canvas& c, const TSymbolRecord& s, TColor backColour) {
    switch (s.Fill) {
    case 0:
        c.Brush.Style = TBrushStyle::Clear;
        break;
    case 1:
        c.Brush.Style = TBrushStyle::Solid;
        c.Brush.Color = backColour;
        break;
    case 2:
        c.Brush.Style = TBrushStyle::Solid;
        c.Brush.Color = s.Colour;
        break;
    case 3:
        c.Brush.Style = TBrushStyle::Solid;
        c.Brush.Color = s.FillColour;
        break;
    default:
        break;
    }
}

void Line(Canvas& c, int x0, int y0, int x1, int y1) {
    c.MoveTo(x0, y0);
    c.LineTo(x1, y1);
}

} // namespace

void DrawSymbolRecord(Canvas& c, const TSymbolRecord& s, TColor backColour) {
    const int x = s.X;
    const int y = s.Y;
    if (s.Kind == ssDot || s.Size < 2) {
        c.SetPixel(x, y, c.Pen.Color);
        return;
    }
    const int h = s.Size / 2;
    const int a = h + h / 2;
    c.Pen.Width = s.PenWidth;
    c.Pen.Style = TPenStyle::Solid;
    c.Pen.Color = s.Colour;
    SetSymbolBrush(c, s, backColour);
    const bool thin = s.PenWidth <= 1;
    switch (s.Kind) {
    case ssCircle:
        c.Ellipse(x - h, y - h, x + h + 1, y + h + 1);
        break;
    case ssSquare:
        c.Rectangle(x - h, y - h, x + h + 1, y + h + 1);
        break;
    case ssTriangleUp:
        c.Polygon({{x - h, y + h}, {x + h, y + h}, {x, y - a}});
        break;
    case ssTriangleDown:
        c.Polygon({{x - h, y - h}, {x + h, y - h}, {x, y + a}});
        break;
    case ssTriangleRight:
        c.Polygon({{x - h, y + h}, {x - h, y - h}, {x + a, y}});
        break;
    case ssTriangleLeft:
        c.Polygon({{x + h, y + h}, {x + h, y - h}, {x - a, y}});
        break;
    case ssPlus:
        if (thin) {
            Line(c, x, y - h, x, y + h + 1);
            Line(c, x + h, y, x - h - 1, y);
        } else {
            Line(c, x, y - h, x, y + h);
            Line(c, x - h, y, x + h, y);
        }
        break;
    case ssCross:
        if (thin) {
            Line(c, x - h + 1, y - h + 1, x + h, y + h);
            Line(c, x + h - 1, y - h + 1, x - h, y + h);
        } else {
            Line(c, x - h, y - h, x + h, y + h);
            Line(c, x + h, y - h, x - h, y + h);
        }
        break;
    default:
        break;
    }
}

void DrawSymbolQueue(EngineState& e) {
    if (e.TargetCanvas == nullptr || e.SymbolQueue.empty()) {
        e.SymbolQueue.clear();
        return;
    }
    SaveAttributes(e);
    for (const TSymbolRecord& s : e.SymbolQueue) {
        DrawSymbolRecord(*e.TargetCanvas, s, e.BackColour);
    }
    e.SymbolQueue.clear();
    RestoreAttributes(e);
}

bool DrawSymbol(EngineState& e, int kind, int size, int fill) {
    if (e.TargetCanvas == nullptr) {
        return true;
    }
    const Canvas& c = *e.TargetCanvas;
    const bool canvasPosition = e.PicturePixelMode || e.SkipClip;
    const int x = canvasPosition ? c.PenPos().x() : e.PenX;
    const int y = canvasPosition ? c.PenPos().y() : e.PenY;

    const int shape = kind & 15;
    if (shape > ssCross) {
        return true;
    }
    if (fill == -1 || fill == -2 || fill == -3) {
        return true;
    }
    // Out-of-range requests come only from programming errors; they are refused, not drawn.
    if (fill < 0 || fill > kMaxField || size < 0) {
        return false;
    }
    if (size == 0) {
        size = RoundHalfEven(8 * e.FontScale);
    }
    if (size < 0 || size > kMaxField) {
        return false;
    }

    TSymbolRecord s;
    s.X = x;
    s.Y = y;
    s.Kind = static_cast<std::uint16_t>(shape);
    s.Size = static_cast<std::uint16_t>(size);
    s.Fill = static_cast<std::uint16_t>(fill);
    s.PenWidth = static_cast<std::uint16_t>(std::clamp(c.Pen.Width, 0, kMaxField));
    s.Colour = c.Pen.Color;

    if (x < 0 || x >= e.PictureWidth || y < 0 || y >= e.PictureHeight) {
        return true;
    }
    if (!e.PicturePixelMode) {
        const TMapping& m = e.CurrentMapping;
        if (x < m.MapLeft || x > m.MapLeft + m.MapWidth || y < m.MapBottom - m.MapHeight ||
            y > m.MapBottom) {
            return true;
        }
    }
    e.SymbolQueue.push_back(s);
    if ((kind & kImmediateSymbol) != 0) {
        DrawSymbolQueue(e);
    }
    return true;
}
