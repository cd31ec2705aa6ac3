// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/xy_plot.h"

#include "graph/xy_drawing.h"

#include <utility>

namespace graph {

XyPlot::XyPlot(QWidget* parent) : PlotView(parent) {}

XyPlot::~XyPlot() = default;

void XyPlot::setXGridOn(bool on) {
    look_.xGridOn = on;
    requestRepaint();
}

void XyPlot::setLeftGridOn(bool on) {
    look_.leftGridOn = on;
    requestRepaint();
}

void XyPlot::setRightGridOn(bool on) {
    look_.rightGridOn = on;
    requestRepaint();
}

void XyPlot::clearAllTraces() {
    for (Trace& trace : traces_)
        trace.points.clear();
    traces_.clear();
    requestRepaint();
}

void XyPlot::clearTrace(int index) {
    if (index < 0 || index >= static_cast<int>(traces_.size()))
        return;
    traces_[index].points.clear();
    requestRepaint();
}

int XyPlot::addTrace(bool rightAxis, PointArray points) {
    Trace trace;
    trace.points = std::move(points);
    trace.rightAxis = rightAxis;
    traces_.push_back(std::move(trace));
    requestRepaint();
    return static_cast<int>(traces_.size()) - 1;
}

int XyPlot::addPoint(int index, double x, double y) {
    if (index < 0 || index >= static_cast<int>(traces_.size()))
        return -1;
    PointArray& points = traces_[index].points;
    points.add({x, y});
    requestRepaint();
    return static_cast<int>(points.size());
}

void XyPlot::followSource(int index) {
    if (index < 0 || index >= static_cast<int>(traces_.size()) ||
        !traces_[index].points.followsSource())
        return;
    traces_[index].points.follow();
    requestRepaint();
}

void XyPlot::drawPicture(plot::PlotEngine& engine, plot::Canvas& canvas) {
    drawXyGraph(engine, canvas, look_, traces_);
}

} // namespace graph
