#include "graph/trace_drawing.h"

void DrawTracesPerPoint(plot::PlotEngine& Engine, const std::vector<const TTrace*>& Traces,
                        const TTraceStyle& Style) {
    for (const TTrace* trace : Traces) {
        Engine.setPenColour(trace->Color);
        const TPointArray& points = trace->Points;
        bool first = true;
        for (std::size_t b = 0; b < points.BlockCount(); ++b) {
            for (const TPoint& p : points.Block(b)) {
                const double x = p.X * Style.XScaleFactor;
                const double y = p.Y * Style.YScaleFactor;
                if (first || !trace->LineOn)
                    Engine.moveTo(x, y);
                else
                    Engine.drawTo(x, y);
                first = false;
                if (trace->SymbolOn)
                    Engine.drawSymbol(trace->Symbol, Style.SymbolSize, 0);
            }
        }
    }
}
