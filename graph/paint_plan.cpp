#include "graph/paint_plan.h"

namespace graph {

namespace {

AxisRange rangeOf(const RangeSettings& axis, const Extremes& unscaled, double margin) {
    if (!axis.automatic)
        return {axis.fixed0, axis.fixed1};
    return autoRange(unscaled.scaled(axis.scaleFactor), margin);
}

Extremes yExtremesOf(const TTraceArray& traces, const std::vector<int>& list) {
    Extremes result;
    for (int index : list)
        result.include(traces[index].Points.YExtremes());
    return result;
}

} // namespace

PaintPlan planPaint(const TTraceArray& traces, const RangeSettings& x, const RangeSettings& yLeft,
                    const RangeSettings& yRight, double margin) {
    PaintPlan plan;
    Extremes xValues;
    for (int i = 0; i < static_cast<int>(traces.size()); ++i) {
        const TTrace& trace = traces[i];
        if (!trace.Counts())
            continue;
        (trace.RightAxis ? plan.right : plan.left).push_back(i);
        xValues.include(trace.Points.XExtremes());
    }
    plan.x = rangeOf(x, xValues, margin);
    plan.yLeft = rangeOf(yLeft, yExtremesOf(traces, plan.left), margin);
    plan.yRight = rangeOf(yRight, yExtremesOf(traces, plan.right), margin);
    return plan;
}

} // namespace graph
