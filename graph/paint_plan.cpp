#include "graph/paint_plan.h"

namespace {

TAxisRange RangeOf(const TRangeSettings& Axis, const TExtremes& Unscaled, double Margin) {
    if (!Axis.Auto)
        return {Axis.Fixed0, Axis.Fixed1};
    return AutoRange(Unscaled.Scaled(Axis.ScaleFactor), Margin);
}

TExtremes YExtremesOf(const TTraceArray& Traces, const std::vector<int>& List) {
    TExtremes result;
    for (int index : List)
        result.Include(Traces[index].Points.YExtremes());
    return result;
}

} // namespace

TPaintPlan PlanPaint(const TTraceArray& Traces, const TRangeSettings& X,
                     const TRangeSettings& YLeft, const TRangeSettings& YRight, double Margin) {
    TPaintPlan plan;
    TExtremes x;
    for (int i = 0; i < static_cast<int>(Traces.size()); ++i) {
        const TTrace& trace = Traces[i];
        if (!trace.Counts())
            continue;
        (trace.RightAxis ? plan.Right : plan.Left).push_back(i);
        x.Include(trace.Points.XExtremes());
    }
    plan.X = RangeOf(X, x, Margin);
    plan.YLeft = RangeOf(YLeft, YExtremesOf(Traces, plan.Left), Margin);
    plan.YRight = RangeOf(YRight, YExtremesOf(Traces, plan.Right), Margin);
    return plan;
}
