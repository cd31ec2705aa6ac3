// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/paint_plan.h"
#include "graph/trace_drawing.h"
#include "graph/xy_plot.h"

#include <utility>

namespace graph {

namespace {

RangeSettings rangeOf(const AxisSettings& axis) {
    return {axis.autoRange, axis.fixedFrom, axis.fixedTo, axis.scaleFactor};
}

} // namespace

// The whole graph, from a clean start of the engine: frame, x axis, then per y axis that has
// traces the axis and its traces, and the ruler set-up for the mouse.
void XyPlot::paintGraph() {
    if (canvas_.width() != engineWidth() || canvas_.height() != engineHeight())
        canvas_.setSize(engineWidth(), engineHeight());

    const PaintPlan plan =
        planPaint(traces_, rangeOf(xAxis_), rangeOf(leftAxis_), rangeOf(rightAxis_), kAutoMargin);

    engine_.startGraph(backColour_, frameColour_, fontScale_);
    engine_.setPlotArea(areaLayout_);
    // Sides: x below the plot, left y left of it, right y right of it, labels outside.
    const auto axis = [this](plot::AxisKind kind, const AxisSettings& settings, int side,
                             const AxisRange& range, bool gridOn) {
        return plot::AxisDescription{.kind = kind,
                                     .colour = settings.colour,
                                     .caption = settings.caption,
                                     .side = side,
                                     .start = range.lower,
                                     .end = range.upper,
                                     .gridOn = gridOn,
                                     .logarithmic = settings.logarithmic,
                                     .fixedFormat = fixedNumberFormat_};
    };
    engine_.drawAxis(axis(plot::AxisKind::X, xAxis_, 1, plan.x, xGridOn_));
    if (!plan.left.empty()) {
        engine_.drawAxis(axis(plot::AxisKind::Y, leftAxis_, 1, plan.yLeft, leftGridOn_));
        drawTraceList(plan.left, leftAxis_.scaleFactor);
    }
    if (!plan.right.empty()) {
        engine_.drawAxis(axis(plot::AxisKind::Y, rightAxis_, 4, plan.yRight, rightGridOn_));
        drawTraceList(plan.right, rightAxis_.scaleFactor);
    }
    engine_.finishGraph();
    // Ruler readout in the x and y axis colours, snapping to the minimum steps.
    engine_.setupRuler(plot::kBlue, readoutPosition_.x(), readoutPosition_.y(), 1, 27);
}

QImage XyPlot::pictureAt(QSize size, plot::VectorEcho* echo) {
    plot::Canvas aside(size.width(), size.height());
    std::swap(canvas_, aside);
    asideSize_ = size;
    const bool fast = fastDrawing_;
    // The fast path paints pixels straight into the picture, which an echo never sees.
    fastDrawing_ = fast && echo == nullptr;
    canvas_.echoTo(echo);
    paintGraph();
    canvas_.echoTo(nullptr);
    fastDrawing_ = fast;
    asideSize_ = QSize();
    std::swap(canvas_, aside);
    // The engine's mapping and ruler now fit the picture: the screen's come back with its own.
    repaintNow();
    return aside.image();
}

void XyPlot::drawTraceList(const std::vector<int>& list, double yScaleFactor) {
    std::vector<const Trace*> traces;
    for (int index : list)
        traces.push_back(&traces_[index]);
    const TraceStyle style{xAxis_.scaleFactor, yScaleFactor, symbolSize_};
    if (fastDrawing_ && drawTracesFast(engine_, traces, style))
        return;
    drawTracesPerPoint(engine_, traces, style);
}

} // namespace graph
