// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot_test_support.h"

namespace plot {

int countPixels(const Canvas& canvas, const QRect& rect, Color color) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            n += canvas.pixel(x, y) == color ? 1 : 0;
        }
    }
    return n;
}

std::vector<std::string> pixelRows(const Canvas& canvas, const QRect& rect, Color color) {
    std::vector<std::string> rows;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        std::string row;
        for (int x = rect.left(); x <= rect.right(); ++x) {
            row += canvas.pixel(x, y) == color ? '#' : '.';
        }
        rows.push_back(row);
    }
    return rows;
}

QRect paintedBounds(const Canvas& canvas, Color background) {
    QRect bounds;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.pixel(x, y) != background) {
                bounds = bounds.united(QRect(x, y, 1, 1));
            }
        }
    }
    return bounds;
}

void worldIsPixels(plot::PlotEngine& engine, Color backColour) {
    const Mapping& m = engine.mapping();
    plot::AxisDescription x;
    x.kind = plot::AxisKind::X;
    x.colour = backColour;
    x.start = m.mapLeft;
    x.end = m.mapLeft + m.mapWidth;
    engine.drawAxis(x);
    plot::AxisDescription y = x;
    y.kind = plot::AxisKind::Y;
    y.start = m.mapBottom;
    y.end = m.mapBottom - m.mapHeight;
    engine.drawAxis(y);
}

void ctrlDrag(plot::PlotEngine& engine, QPoint from, QPoint to) {
    engine.mouseDown(MouseButton::Left, kCtrlKey | kLeftButtonHeld, from.x(), from.y());
    engine.mouseMove(kCtrlKey | kLeftButtonHeld, (from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
    engine.mouseMove(kCtrlKey | kLeftButtonHeld, to.x(), to.y());
    engine.mouseUp(MouseButton::Left, kCtrlKey, to.x(), to.y());
}

} // namespace plot
