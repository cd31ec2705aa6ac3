#include "graph/paint_plan.h"
#include "graph/trace_drawing.h"
#include "graph/xy_plot.h"

// The whole graph, from a clean start of the engine: frame, x axis, then per y axis that has
// traces the axis and its traces, and the ruler set-up for the mouse.
void TXYPlot::paintGraph() {
    if (canvas_.width() != width() || canvas_.height() != height())
        canvas_.setSize(width(), height());

    const graph::PaintPlan plan =
        graph::planPaint(Traces, {X_Auto, X_0, X_1, X_ScaleFactor},
                         {Y_Left_Auto, Y_Left_0, Y_Left_1, Y_Left_ScaleFactor},
                         {Y_Right_Auto, Y_Right_0, Y_Right_1, Y_Right_ScaleFactor}, AutoMargin);

    engine_.startGraph(XY_BackColor, XY_FrameColor, Scale);
    engine_.setPlotArea({XY_LeftPerCent, XY_RightPerCent, XY_TopPerCent, XY_BottomPerCent,
                         XY_LeftPixels, XY_RightPixels, XY_TopPixels, XY_BottomPixels, XY_ClipOn});
    // Sides: x below the plot, left y left of it, right y right of it, labels outside.
    const auto axis = [this](plot::AxisKind kind, plot::Color colour, const std::string& caption,
                             int side, const graph::AxisRange& range, bool gridOn) {
        return plot::AxisDescription{.kind = kind,
                                     .colour = colour,
                                     .caption = caption,
                                     .side = side,
                                     .start = range.lower,
                                     .end = range.upper,
                                     .gridOn = gridOn,
                                     .fixedFormat = XY_FixedNumberFormat};
    };
    engine_.drawAxis(axis(plot::AxisKind::X, X_Color, X_Caption, 1, plan.x, xGridOn_));
    if (!plan.left.empty()) {
        engine_.drawAxis(
            axis(plot::AxisKind::Y, Y_Left_Color, Y_Left_Caption, 1, plan.yLeft, yLeftGridOn_));
        drawTraceList(plan.left, Y_Left_ScaleFactor);
    }
    if (!plan.right.empty()) {
        engine_.drawAxis(
            axis(plot::AxisKind::Y, Y_Right_Color, Y_Right_Caption, 4, plan.yRight, yRightGridOn_));
        drawTraceList(plan.right, Y_Right_ScaleFactor);
    }
    engine_.finishGraph();
    // Ruler readout at the top left in the x and y axis colours, snapping to the minimum steps.
    engine_.setupRuler(plot::kBlue, XY_Ruler_X, XY_Ruler_Y, 1, 27);
}

void TXYPlot::drawTraceList(const std::vector<int>& list, double yScaleFactor) {
    std::vector<const TTrace*> traces;
    for (int index : list)
        traces.push_back(&Traces[index]);
    const graph::TraceStyle style{X_ScaleFactor, yScaleFactor, XY_SymbolSize};
    if (FastDrawing && graph::drawTracesFast(engine_, traces, style))
        return;
    graph::drawTracesPerPoint(engine_, traces, style);
}
