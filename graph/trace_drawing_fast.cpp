#include "graph/column_masks.h"
#include "graph/trace_drawing.h"

#include "plot/engine.h"
#include "plot/engine_state.h"
#include "plot/primitives.h"
#include "plot/raster.h"
#include "plot/rounding.h"

#include <algorithm>
#include <cmath>
#include <memory>

// A trace's lines all share one pen in copy mode, and so do its symbols: each of the two layers
// is the union of the pixels its pieces cover. At a million points thousands of segments fall in
// one pixel column, so the union is collected in per-column masks and painted once, instead of
// rasterising every segment and every symbol. The clipper, the line rasteriser, the end dot and
// the symbol shape are the engine's own, so the pixels are the same.

namespace {

// The engine's world-to-pixel mapping, taken out of the loop.
struct TMapper {
    TMapping M;

    int X(double x) const {
        return Pixel((x - M.XMin) / (M.XMax - M.XMin) * M.MapWidth + M.MapLeft);
    }
    int Y(double y) const {
        return Pixel(M.MapBottom - (y - M.YMin) / (M.YMax - M.YMin) * M.MapHeight);
    }
    static int Pixel(double p) {
        if (std::isnan(p))
            return -32768;
        return RoundHalfEven(std::clamp(p, -32768.0, 32767.0));
    }
};

bool SymbolShapeDrawable(const TTrace& Trace, int Size) {
    // Shape 0 and sizes below 2 take the pen colour of the moment the queue is drawn, the
    // immediate-drawing bit draws at once, and huge symbols cost more as a stencil than drawn:
    // those stay with the engine.
    return Trace.Symbol >= ssCircle && Trace.Symbol <= ssCross && Size >= 2 && Size <= 256;
}

// The pixels one symbol covers, as offsets from its centre, drawn by the engine's own symbol
// code on a scratch canvas.
std::vector<QPoint> SymbolStencil(const TTrace& Trace, int Size, const Canvas& Target) {
    EngineState& engine = Engine();
    const int reach = Size + 4;
    Canvas scratch(2 * reach + 1, 2 * reach + 1);
    scratch.Pen = Target.Pen;
    scratch.Brush = Target.Brush;
    scratch.Font = Target.Font;
    const TColor painted = ColorToRGB(Trace.Color);
    const TColor background = painted ^ 0x00FFFFFF;
    scratch.Brush.Color = background;
    scratch.Brush.Style = TBrushStyle::Solid;
    scratch.FillRect(0, 0, scratch.Width(), scratch.Height());
    scratch.Brush = Target.Brush;

    TSymbolRecord record;
    record.X = reach;
    record.Y = reach;
    record.Kind = static_cast<std::uint16_t>(Trace.Symbol);
    record.Size = static_cast<std::uint16_t>(Size);
    record.Fill = 0;
    record.PenWidth = 1;
    record.Colour = Trace.Color;

    Canvas* const target = engine.TargetCanvas;
    std::vector<TSymbolRecord> queue = std::move(engine.SymbolQueue);
    engine.TargetCanvas = &scratch;
    engine.SymbolQueue = {record};
    DrawSymbolQueue();
    engine.TargetCanvas = target;
    engine.SymbolQueue = std::move(queue);

    std::vector<QPoint> stencil;
    for (int y = 0; y < scratch.Height(); ++y)
        for (int x = 0; x < scratch.Width(); ++x)
            if (scratch.Pixel(x, y) == painted)
                stencil.emplace_back(x - reach, y - reach);
    return stencil;
}

struct TTraceLayers {
    TColumnMasks Lines;
    TColumnMasks Centres;
    TPendingDot Dot;
};

// Walks one trace as MoveTo/DrawTo/DrawSymbol would, collecting line pixels, the end dot and the
// symbol centres.
void CollectTrace(const TTrace& Trace, const TTraceStyle& Style, const TMapper& Map,
                  const TClipRect& Rect, TTraceLayers& Layers, int& PenX, int& PenY) {
    const int width = Layers.Lines.Width();
    const int height = Layers.Lines.Height();
    int prevX = PenX;
    int prevY = PenY;
    // A run of vertical segments in one column covers one unbroken run of pixels.
    int runX = -1;
    int runLow = 0;
    int runHigh = -1;
    auto flushRun = [&] {
        if (runX >= 0)
            Layers.Lines.AddRun(runX, runLow, runHigh);
        runX = -1;
    };
    auto addCentre = [&](int x, int y) {
        if (x >= 0 && x < width && y >= 0 && y < height && x >= Rect.Left && x <= Rect.Right &&
            y >= Rect.Top && y <= Rect.Bottom)
            Layers.Centres.Add(x, y);
    };
    if (Trace.SymbolOn)
        addCentre(prevX, prevY);

    const TPointArray& points = Trace.Points;
    bool first = true;
    for (std::size_t b = 0; b < points.BlockCount(); ++b) {
        for (const TPoint& p : points.Block(b)) {
            if (first) {
                first = false;
                continue;
            }
            const int x = Map.X(p.X * Style.XScaleFactor);
            const int y = Map.Y(p.Y * Style.YScaleFactor);
            if (Trace.LineOn) {
                if (x == prevX && x > Rect.Left && x < Rect.Right && prevY >= Rect.Top &&
                    prevY <= Rect.Bottom && y >= Rect.Top && y <= Rect.Bottom) {
                    if (y != prevY) {
                        const int low = y > prevY ? prevY : y + 1;
                        const int high = y > prevY ? y - 1 : prevY;
                        if (runX == x && low <= runHigh + 1 && high >= runLow - 1) {
                            runLow = std::min(runLow, low);
                            runHigh = std::max(runHigh, high);
                        } else {
                            flushRun();
                            runX = x;
                            runLow = low;
                            runHigh = high;
                        }
                    }
                    if (y > Rect.Top && y < Rect.Bottom)
                        Layers.Dot = {true, x, y, Trace.Color};
                } else {
                    int x0 = prevX;
                    int y0 = prevY;
                    int x1 = x;
                    int y1 = y;
                    if (ClipSegment(Rect, x0, y0, x1, y1)) {
                        ForEachLinePixel(x0, y0, x1, y1, width, height, 0, false,
                                         [&](std::int64_t px, std::int64_t py, std::int64_t) {
                                             Layers.Lines.Add(static_cast<int>(px),
                                                              static_cast<int>(py));
                                         });
                        if (x1 < Rect.Right && y1 > Rect.Top && y1 < Rect.Bottom)
                            Layers.Dot = {true, x1, y1, Trace.Color};
                    }
                }
            }
            if (Trace.SymbolOn)
                addCentre(x, y);
            prevX = x;
            prevY = y;
        }
    }
    flushRun();
    PenX = prevX;
    PenY = prevY;
}

} // namespace

bool DrawTracesFast(const std::vector<const TTrace*>& Traces, const TTraceStyle& Style) {
    EngineState& engine = Engine();
    if (engine.TargetCanvas == nullptr || engine.PicturePixelMode || !engine.AxesReady ||
        engine.SkipClip || engine.CurrentMapping.XLog || engine.CurrentMapping.YLog)
        return false;
    Canvas& canvas = *engine.TargetCanvas;
    if (canvas.Pen.Width != 1 || canvas.Pen.Style != TPenStyle::Solid ||
        canvas.Pen.Mode != TPenMode::Copy)
        return false;
    for (const TTrace* trace : Traces)
        if (trace->SymbolOn && !SymbolShapeDrawable(*trace, Style.SymbolSize))
            return false;

    const TMapper map{engine.CurrentMapping};
    const TClipRect rect{map.M.MapLeft, map.M.MapLeft + map.M.MapWidth,
                         map.M.MapBottom - map.M.MapHeight, map.M.MapBottom};
    const int width = canvas.Width();
    const int height = canvas.Height();

    std::vector<std::unique_ptr<TColumnMasks>> centres;
    TTraceLayers layers{TColumnMasks(width, height), TColumnMasks(0, 0), {}};
    for (const TTrace* trace : Traces) {
        SetPenColour(trace->Color);
        const TPoint& start = trace->Points[0];
        // The first point goes through the engine, which also sets any end dot still pending.
        MoveTo(start.X * Style.XScaleFactor, start.Y * Style.YScaleFactor);
        layers.Lines.Clear();
        layers.Centres = TColumnMasks(trace->SymbolOn ? width : 0, trace->SymbolOn ? height : 0);
        layers.Dot = {};
        CollectTrace(*trace, Style, map, rect, layers, engine.PenX, engine.PenY);
        layers.Lines.Paint(canvas.Image(), ToQRgb(trace->Color));
        if (layers.Dot.Active)
            canvas.SetPixel(layers.Dot.X, layers.Dot.Y, layers.Dot.Colour);
        centres.push_back(std::make_unique<TColumnMasks>(std::move(layers.Centres)));
    }

    // The symbols lie on top of all lines of the axis, trace after trace.
    TColumnMasks symbols(width, height);
    for (std::size_t i = 0; i < Traces.size(); ++i) {
        const TTrace& trace = *Traces[i];
        if (!trace.SymbolOn || !centres[i]->Any())
            continue;
        symbols.Clear();
        for (const QPoint& offset : SymbolStencil(trace, Style.SymbolSize, canvas))
            symbols.AddShifted(*centres[i], offset.x(), offset.y());
        symbols.Paint(canvas.Image(), ToQRgb(trace.Color));
    }
    return true;
}
