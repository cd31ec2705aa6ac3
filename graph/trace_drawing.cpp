#include "graph/trace_drawing.h"

#include "plot/engine.h"
#include "plot/primitives.h"

void DrawTracesPerPoint(const std::vector<const TTrace*>& Traces, const TTraceStyle& Style) {
    for (const TTrace* trace : Traces) {
        SetPenColour(trace->Color);
        const TPointArray& points = trace->Points;
        bool first = true;
        for (std::size_t b = 0; b < points.BlockCount(); ++b) {
            for (const TPoint& p : points.Block(b)) {
                const double x = p.X * Style.XScaleFactor;
                const double y = p.Y * Style.YScaleFactor;
                if (first || !trace->LineOn)
                    MoveTo(x, y);
                else
                    DrawTo(x, y);
                first = false;
                if (trace->SymbolOn)
                    DrawSymbol(trace->Symbol, Style.SymbolSize, 0);
            }
        }
    }
}
