// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/symbols.h"

#include "plot/primitives.h"
#include "plot/rounding.h"

#include <algorithm>
#include <limits>

namespace plot {

namespace {

constexpr int kMaxField = std::numeric_limits<std::uint16_t>::max();

void setSymbolBrush(Canvas& c, const SymbolRecord& s, Color backColour) {
    switch (s.fill) {
    case 0:
        c.brush.style = BrushStyle::Clear;
        break;
    case 1:
        c.brush.style = BrushStyle::Solid;
        c.brush.color = backColour;
        break;
    case 2:
        c.brush.style = BrushStyle::Solid;
        c.brush.color = s.colour;
        break;
    case 3:
        c.brush.style = BrushStyle::Solid;
        c.brush.color = s.fillColour;
        break;
    default:
        break;
    }
}

void line(Canvas& c, int x0, int y0, int x1, int y1) {
    c.moveTo(x0, y0);
    c.lineTo(x1, y1);
}

} // namespace

void drawSymbolRecord(Canvas& c, const SymbolRecord& s, Color backColour) {
    const int x = s.x;
    const int y = s.y;
    if (s.kind == kDotSymbol || s.size < 2) {
        c.setPixel(x, y, c.pen.color);
        return;
    }
    const int h = s.size / 2;
    const int a = h + h / 2;
    c.pen.width = s.penWidth;
    c.pen.style = PenStyle::Solid;
    c.pen.color = s.colour;
    setSymbolBrush(c, s, backColour);
    const bool thin = s.penWidth <= 1;
    switch (s.kind) {
    case kCircleSymbol:
        c.ellipse(x - h, y - h, x + h + 1, y + h + 1);
        break;
    case kSquareSymbol:
        c.rectangle(x - h, y - h, x + h + 1, y + h + 1);
        break;
    case kTriangleUpSymbol:
        c.polygon({{x - h, y + h}, {x + h, y + h}, {x, y - a}});
        break;
    case kTriangleDownSymbol:
        c.polygon({{x - h, y - h}, {x + h, y - h}, {x, y + a}});
        break;
    case kTriangleRightSymbol:
        c.polygon({{x - h, y + h}, {x - h, y - h}, {x + a, y}});
        break;
    case kTriangleLeftSymbol:
        c.polygon({{x + h, y + h}, {x + h, y - h}, {x - a, y}});
        break;
    case kPlusSymbol:
        if (thin) {
            line(c, x, y - h, x, y + h + 1);
            line(c, x + h, y, x - h - 1, y);
        } else {
            line(c, x, y - h, x, y + h);
            line(c, x - h, y, x + h, y);
        }
        break;
    case kCrossSymbol:
        if (thin) {
            line(c, x - h + 1, y - h + 1, x + h, y + h);
            line(c, x + h - 1, y - h + 1, x - h, y + h);
        } else {
            line(c, x - h, y - h, x + h, y + h);
            line(c, x + h, y - h, x - h, y + h);
        }
        break;
    default:
        break;
    }
}

void drawSymbolQueue(EngineState& e) {
    if (e.targetCanvas == nullptr || e.symbolQueue.empty()) {
        e.symbolQueue.clear();
        return;
    }
    saveAttributes(e);
    for (const SymbolRecord& s : e.symbolQueue) {
        drawSymbolRecord(*e.targetCanvas, s, e.backColour);
    }
    e.symbolQueue.clear();
    restoreAttributes(e);
}

bool drawSymbol(EngineState& e, int kind, int size, int fill) {
    if (e.targetCanvas == nullptr) {
        return true;
    }
    const Canvas& c = *e.targetCanvas;
    const bool canvasPosition = e.picturePixelMode || e.skipClip;
    const int x = canvasPosition ? c.penPos().x() : e.penX;
    const int y = canvasPosition ? c.penPos().y() : e.penY;

    const int shape = kind & 15;
    if (shape > kCrossSymbol) {
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
        size = roundHalfEven(8 * e.fontScale);
    }
    if (size < 0 || size > kMaxField) {
        return false;
    }

    SymbolRecord s;
    s.x = x;
    s.y = y;
    s.kind = static_cast<std::uint16_t>(shape);
    s.size = static_cast<std::uint16_t>(size);
    s.fill = static_cast<std::uint16_t>(fill);
    s.penWidth = static_cast<std::uint16_t>(std::clamp(c.pen.width, 0, kMaxField));
    s.colour = c.pen.color;

    if (x < 0 || x >= e.pictureWidth || y < 0 || y >= e.pictureHeight) {
        return true;
    }
    if (!e.picturePixelMode) {
        const Mapping& m = e.currentMapping;
        if (x < m.mapLeft || x > m.mapLeft + m.mapWidth || y < m.mapBottom - m.mapHeight ||
            y > m.mapBottom) {
            return true;
        }
    }
    e.symbolQueue.push_back(s);
    if ((kind & kImmediateSymbol) != 0) {
        drawSymbolQueue(e);
    }
    return true;
}

} // namespace plot
