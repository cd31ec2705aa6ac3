// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/paint_plan.h"

namespace graph {

namespace {

AxisRange rangeOf(const RangeSettings& axis, const Extremes& unscaled, double margin) {
    if (!axis.automatic)
        return {axis.fixed0, axis.fixed1};
    return autoRange(unscaled.scaled(axis.scaleFactor), margin);
}

Extremes yExtremesOf(const TraceList& traces, const std::vector<int>& list) {
    Extremes result;
    for (int index : list)
        result.include(traces[index].points.yExtremes());
    return result;
}

} // namespace

PaintPlan planPaint(const TraceList& traces, const RangeSettings& x, const RangeSettings& yLeft,
                    const RangeSettings& yRight, double margin) {
    PaintPlan plan;
    Extremes xValues;
    for (int i = 0; i < static_cast<int>(traces.size()); ++i) {
        const Trace& trace = traces[i];
        if (!trace.counts())
            continue;
        (trace.rightAxis ? plan.right : plan.left).push_back(i);
        xValues.include(trace.points.xExtremes());
    }
    plan.x = rangeOf(x, xValues, margin);
    plan.yLeft = rangeOf(yLeft, yExtremesOf(traces, plan.left), margin);
    plan.yRight = rangeOf(yRight, yExtremesOf(traces, plan.right), margin);
    return plan;
}

} // namespace graph
