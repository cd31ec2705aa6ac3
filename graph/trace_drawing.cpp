// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/trace_drawing.h"

namespace graph {

void drawTracesPerPoint(plot::PlotEngine& engine, const std::vector<const Trace*>& traces,
                        const TraceStyle& style) {
    for (const Trace* trace : traces) {
        engine.setPenColour(trace->colour);
        const PointArray& points = trace->points;
        auto nextBreak = points.breaks().begin();
        std::size_t index = 0;
        for (std::size_t b = 0; b < points.blockCount(); ++b) {
            for (const Point& p : points.block(b)) {
                const double x = p.x * style.xScaleFactor;
                const double y = p.y * style.yScaleFactor;
                const bool broken = nextBreak != points.breaks().end() && *nextBreak == index;
                nextBreak += broken ? 1 : 0;
                if (index == 0 || broken || !trace->lineOn)
                    engine.moveTo(x, y);
                else
                    engine.drawTo(x, y);
                ++index;
                if (trace->symbolOn)
                    engine.drawSymbol(trace->symbol, style.symbolSize, 0);
            }
        }
    }
}

} // namespace graph
