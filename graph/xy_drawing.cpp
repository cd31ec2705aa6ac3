// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/xy_drawing.h"

#include "graph/paint_plan.h"
#include "graph/trace_drawing.h"

namespace graph {

namespace {

RangeSettings rangeOf(const AxisSettings& axis) {
    return {axis.autoRange, axis.fixedFrom, axis.fixedTo, axis.scaleFactor};
}

void drawTraceList(plot::PlotEngine& engine, const TraceList& all, const std::vector<int>& list,
                   const TraceStyle& style, bool fast) {
    std::vector<const Trace*> traces;
    for (int index : list)
        traces.push_back(&all[index]);
    if (fast && drawTracesFast(engine, traces, style))
        return;
    drawTracesPerPoint(engine, traces, style);
}

} // namespace

void drawXyGraph(plot::PlotEngine& engine, const plot::Canvas& canvas, const GraphLook& look,
                 const TraceList& traces) {
    const PaintPlan plan = planPaint(traces, rangeOf(look.xAxis), rangeOf(look.leftAxis),
                                     rangeOf(look.rightAxis), kAutoMargin);
    const bool fast = look.fastDrawing && !canvas.echoing();

    engine.startGraph(look.backColour, look.frameColour, look.fontScale);
    engine.setPlotArea(look.areaLayout);
    // Sides: x below the plot, left y left of it, right y right of it, labels outside.
    const auto axis = [&look](plot::AxisKind kind, const AxisSettings& settings, int side,
                              const AxisRange& range, bool gridOn) {
        return plot::AxisDescription{.kind = kind,
                                     .colour = settings.colour,
                                     .caption = settings.caption,
                                     .side = side,
                                     .start = range.lower,
                                     .end = range.upper,
                                     .gridOn = gridOn,
                                     .logarithmic = settings.logarithmic,
                                     .fixedFormat = look.fixedNumberFormat};
    };
    engine.drawAxis(axis(plot::AxisKind::X, look.xAxis, 1, plan.x, look.xGridOn));
    if (!plan.left.empty()) {
        engine.drawAxis(axis(plot::AxisKind::Y, look.leftAxis, 1, plan.yLeft, look.leftGridOn));
        drawTraceList(engine, traces, plan.left,
                      {look.xAxis.scaleFactor, look.leftAxis.scaleFactor, look.symbolSize}, fast);
    }
    if (!plan.right.empty()) {
        engine.drawAxis(axis(plot::AxisKind::Y, look.rightAxis, 4, plan.yRight, look.rightGridOn));
        drawTraceList(engine, traces, plan.right,
                      {look.xAxis.scaleFactor, look.rightAxis.scaleFactor, look.symbolSize}, fast);
    }
    engine.finishGraph();
    // Ruler readout in the x and y axis colours, snapping to the minimum steps.
    engine.setupRuler(plot::kBlue, look.readoutPosition.x(), look.readoutPosition.y(), 1, 27);
}

} // namespace graph
