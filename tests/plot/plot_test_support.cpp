#include "plot_test_support.h"

int CountPixels(const Canvas& canvas, const QRect& rect, TColor color) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            n += canvas.Pixel(x, y) == color ? 1 : 0;
        }
    }
    return n;
}

std::vector<std::string> PixelRows(const Canvas& canvas, const QRect& rect, TColor color) {
    std::vector<std::string> rows;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        std::string row;
        for (int x = rect.left(); x <= rect.right(); ++x) {
            row += canvas.Pixel(x, y) == color ? '#' : '.';
        }
        rows.push_back(row);
    }
    return rows;
}

QRect PaintedBounds(const Canvas& canvas, TColor background) {
    QRect bounds;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (canvas.Pixel(x, y) != background) {
                bounds = bounds.united(QRect(x, y, 1, 1));
            }
        }
    }
    return bounds;
}

void WorldIsPixels(plot::PlotEngine& engine, TColor backColour) {
    const TMapping& m = engine.mapping();
    plot::AxisDescription x;
    x.kind = plot::AxisKind::X;
    x.colour = backColour;
    x.start = m.MapLeft;
    x.end = m.MapLeft + m.MapWidth;
    engine.drawAxis(x);
    plot::AxisDescription y = x;
    y.kind = plot::AxisKind::Y;
    y.start = m.MapBottom;
    y.end = m.MapBottom - m.MapHeight;
    engine.drawAxis(y);
}

void CtrlDrag(plot::PlotEngine& engine, QPoint from, QPoint to) {
    engine.mouseDown(mbLeft, ssCtrl | ssLeft, from.x(), from.y());
    engine.mouseMove(ssCtrl | ssLeft, (from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
    engine.mouseMove(ssCtrl | ssLeft, to.x(), to.y());
    engine.mouseUp(mbLeft, ssCtrl, to.x(), to.y());
}
