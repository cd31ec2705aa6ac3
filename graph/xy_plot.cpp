// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/xy_plot.h"

#include "graph/legend.h"
#include "graph/xy_drawing.h"
#include "plot/rounding.h"

#include <algorithm>
#include <utility>
#include <vector>

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

namespace {

// Where a sample of the left axis's traces lies in the picture (a few thousand points a trace),
// for the legend to keep clear of them.
std::vector<QPoint> sampledPixels(plot::PlotEngine& engine, const GraphLook& look,
                                  const TraceList& traces) {
    constexpr std::size_t kSamplesPerTrace = 4096;
    const plot::AxisRecord& x = engine.plotArea(1).axisRecord[plot::kAxisX];
    const plot::AxisRecord& y = engine.plotArea(1).axisRecord[1];
    std::vector<QPoint> pixels;
    if (!x.axisDefined || !y.axisDefined || x.axisLog || y.axisLog || !(x.axisMax > x.axisMin) ||
        !(y.axisMax > y.axisMin)) {
        return pixels;
    }
    const plot::Mapping& area = engine.mapping();
    for (const Trace& trace : traces) {
        if (!trace.counts() || trace.rightAxis) {
            continue;
        }
        const std::size_t stride = std::max<std::size_t>(1, trace.points.size() / kSamplesPerTrace);
        for (std::size_t i = 0; i < trace.points.size(); i += stride) {
            const Point point = trace.points[i];
            const double fx =
                (point.x * look.xAxis.scaleFactor - x.axisMin) / (x.axisMax - x.axisMin);
            const double fy =
                (point.y * look.leftAxis.scaleFactor - y.axisMin) / (y.axisMax - y.axisMin);
            if (fx >= 0 && fx <= 1 && fy >= 0 && fy <= 1) {
                pixels.emplace_back(area.mapLeft + static_cast<int>(fx * area.mapWidth),
                                    area.mapBottom - static_cast<int>(fy * area.mapHeight));
            }
        }
    }
    return pixels;
}

} // namespace

// Traces with names are named in a legend in the corner of the plot their points leave freest,
// in the axis texts' size.
void XyPlot::drawPicture(plot::PlotEngine& engine, plot::Canvas& canvas) {
    drawXyGraph(engine, canvas, look_, traces_);
    std::vector<LegendEntry> legend;
    for (const Trace& trace : traces_) {
        if (trace.counts() && !trace.label.empty()) {
            legend.push_back({trace.label, trace.colour, trace.symbolOn ? trace.symbol : 0});
        }
    }
    if (legend.empty()) {
        return;
    }
    constexpr double kPointsPerScale = 8;
    canvas.font = plot::Font{};
    canvas.font.size = plot::roundHalfEven(kPointsPerScale * look_.fontScale);
    const std::vector<QPoint> pixels = sampledPixels(engine, look_, traces_);
    drawLegend(canvas, engine.mapping(), legend, look_.backColour, look_.symbolSize,
               [&pixels](const QRect& box) {
                   return std::ranges::count_if(pixels,
                                                [&box](QPoint at) { return box.contains(at); });
               });
}

} // namespace graph
