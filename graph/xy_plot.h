// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/axis_settings.h"
#include "graph/graph_look.h"
#include "graph/plot_view.h"
#include "graph/trace.h"
#include "plot/colors.h"
#include "plot/plot_engine.h"

#include <QPoint>

namespace graph {

// The graph control: a store of traces of (x, y) points and the axis and layout settings, drawn
// by drawXyGraph on every paint after a change.
class XyPlot : public PlotView {
    Q_OBJECT

public:
    explicit XyPlot(QWidget* parent = nullptr);
    ~XyPlot() override;

    // The settings show from the next repaint on; only the grid switches ask for one.
    const AxisSettings& xAxis() const { return look_.xAxis; }
    void setXAxis(const AxisSettings& axis) { look_.xAxis = axis; }
    const AxisSettings& leftAxis() const { return look_.leftAxis; }
    void setLeftAxis(const AxisSettings& axis) { look_.leftAxis = axis; }
    const AxisSettings& rightAxis() const { return look_.rightAxis; }
    void setRightAxis(const AxisSettings& axis) { look_.rightAxis = axis; }
    bool xGridOn() const { return look_.xGridOn; }
    void setXGridOn(bool on);
    bool leftGridOn() const { return look_.leftGridOn; }
    void setLeftGridOn(bool on);
    bool rightGridOn() const { return look_.rightGridOn; }
    void setRightGridOn(bool on);
    // Where the plot rectangle lies in the control.
    const plot::PlotAreaLayout& areaLayout() const { return look_.areaLayout; }
    void setAreaLayout(const plot::PlotAreaLayout& layout) { look_.areaLayout = layout; }
    plot::Color backColour() const { return look_.backColour; }
    void setBackColour(plot::Color colour) { look_.backColour = colour; }
    plot::Color frameColour() const { return look_.frameColour; }
    void setFrameColour(plot::Color colour) { look_.frameColour = colour; }
    double fontScale() const { return look_.fontScale; }
    void setFontScale(double scale) { look_.fontScale = scale; }
    int symbolSize() const { return look_.symbolSize; }
    void setSymbolSize(int size) { look_.symbolSize = size; }
    bool fixedNumberFormat() const { return look_.fixedNumberFormat; }
    void setFixedNumberFormat(bool fixed) { look_.fixedNumberFormat = fixed; }
    // Where the ruler readout is written.
    QPoint readoutPosition() const { return look_.readoutPosition; }
    void setReadoutPosition(QPoint position) { look_.readoutPosition = position; }
    bool fastDrawing() const { return look_.fastDrawing; }
    void setFastDrawing(bool fast) { look_.fastDrawing = fast; }

    // The trace store. Points added through a trace's PointArray keep the ranges exact, but only
    // the operations below schedule a repaint.
    TraceList& traces() { return traces_; }
    const TraceList& traces() const { return traces_; }
    void clearAllTraces();
    void clearTrace(int index);
    int addTrace(bool rightAxis, PointArray points);
    int addPoint(int index, double x, double y);
    // Takes in the points a trace's source has gained (PointArray::follow).
    void followSource(int index);

protected:
    void drawPicture(plot::PlotEngine& engine, plot::Canvas& canvas) override;

private:
    GraphLook look_;
    TraceList traces_;
};

} // namespace graph
