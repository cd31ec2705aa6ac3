#include "graph/trace_drawing.h"

namespace graph {

void drawTracesPerPoint(plot::PlotEngine& engine, const std::vector<const TTrace*>& traces,
                        const TraceStyle& style) {
    for (const TTrace* trace : traces) {
        engine.setPenColour(trace->Color);
        const TPointArray& points = trace->Points;
        bool first = true;
        for (std::size_t b = 0; b < points.BlockCount(); ++b) {
            for (const TPoint& p : points.Block(b)) {
                const double x = p.X * style.xScaleFactor;
                const double y = p.Y * style.yScaleFactor;
                if (first || !trace->LineOn)
                    engine.moveTo(x, y);
                else
                    engine.drawTo(x, y);
                first = false;
                if (trace->SymbolOn)
                    engine.drawSymbol(trace->Symbol, style.symbolSize, 0);
            }
        }
    }
}

} // namespace graph
