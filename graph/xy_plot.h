// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/axis_settings.h"
#include "graph/trace.h"
#include "plot/canvas.h"
#include "plot/colors.h"
#include "plot/engine_host.h"
#include "plot/plot_engine.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <QWidget>

class QMouseEvent;
class QPaintEvent;

namespace graph {

// The graph control: a store of traces of (x, y) points and the axis and layout settings; every
// paint draws the whole graph anew through the control's own plotting engine into its own
// picture buffer. While the ruler is on the mouse zooms (Ctrl + drag) and reads values (drag).
class XyPlot : public QWidget, public plot::EngineHost {
    Q_OBJECT

public:
    // The share of an automatic range's width added on each side.
    static constexpr double kAutoMargin = 0.05;

    explicit XyPlot(QWidget* parent = nullptr);
    ~XyPlot() override;

    // The settings show from the next repaint on; only the grid switches ask for one.
    const AxisSettings& xAxis() const { return xAxis_; }
    void setXAxis(const AxisSettings& axis) { xAxis_ = axis; }
    const AxisSettings& leftAxis() const { return leftAxis_; }
    void setLeftAxis(const AxisSettings& axis) { leftAxis_ = axis; }
    const AxisSettings& rightAxis() const { return rightAxis_; }
    void setRightAxis(const AxisSettings& axis) { rightAxis_ = axis; }
    bool xGridOn() const { return xGridOn_; }
    void setXGridOn(bool on);
    bool leftGridOn() const { return leftGridOn_; }
    void setLeftGridOn(bool on);
    bool rightGridOn() const { return rightGridOn_; }
    void setRightGridOn(bool on);
    // Where the plot rectangle lies in the control.
    const plot::PlotAreaLayout& areaLayout() const { return areaLayout_; }
    void setAreaLayout(const plot::PlotAreaLayout& layout) { areaLayout_ = layout; }
    plot::Color backColour() const { return backColour_; }
    void setBackColour(plot::Color colour) { backColour_ = colour; }
    plot::Color frameColour() const { return frameColour_; }
    void setFrameColour(plot::Color colour) { frameColour_ = colour; }
    // The axis texts are 8 points times this scale.
    double fontScale() const { return fontScale_; }
    void setFontScale(double scale) { fontScale_ = scale; }
    int symbolSize() const { return symbolSize_; }
    void setSymbolSize(int size) { symbolSize_ = size; }
    // Axis labels in fixed instead of general number format.
    bool fixedNumberFormat() const { return fixedNumberFormat_; }
    void setFixedNumberFormat(bool fixed) { fixedNumberFormat_ = fixed; }
    // Where the ruler readout is written.
    QPoint readoutPosition() const { return readoutPosition_; }
    void setReadoutPosition(QPoint position) { readoutPosition_ = position; }
    bool rulerOn() const { return rulerOn_; }
    void setRulerOn(bool on) { rulerOn_ = on; }
    // Draw the traces through per-column coverage masks instead of one engine call per point;
    // the picture is the same pixel for pixel.
    bool fastDrawing() const { return fastDrawing_; }
    void setFastDrawing(bool fast) { fastDrawing_ = fast; }

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

    void unzoomAll();
    void copyToClipboard();
    void print();

    // The picture as last drawn, with any ruler or zoom rectangle on it.
    const QImage& picture() const { return canvas_.image(); }
    // The graph drawn anew at `size`, without ruler or zoom rectangle, as the screen would show
    // it at that size; with `echo` also as vector shapes, the traces as lines through their
    // points. The screen's picture is drawn anew after it.
    QImage pictureAt(QSize size, plot::VectorEcho* echo = nullptr);
    // Whether a change still waits for its paint, which comes within a screen refresh.
    bool repaintPending() const { return updateRequested_; }
    // What the engine drew last: mapping, zoom windows, ruler.
    const plot::PlotEngine& engine() const { return engine_; }

    // plot::EngineHost
    plot::Canvas& engineCanvas() override { return canvas_; }
    int engineWidth() const override { return asideSize_.isValid() ? asideSize_.width() : width(); }
    int engineHeight() const override {
        return asideSize_.isValid() ? asideSize_.height() : height();
    }
    void repaintNow() override;
    void invalidate() override;
    void setScreenCursor(plot::ScreenCursor cursor) override;
    void confinePointer(const QRect& screenRect) override;
    void releasePointer() override;
    QPoint screenOffset() const override;
    void beep() override;
    std::unique_ptr<plot::PrintTarget> openPrinter() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void requestRepaint();
    int refreshIntervalMs() const;
    void paintGraph();
    void drawTraceList(const std::vector<int>& list, double yScaleFactor);
    QPoint confinedPosition(QMouseEvent* event);

    AxisSettings xAxis_{.caption = "X-Axis"};
    AxisSettings leftAxis_{.caption = "Y1-Axis"};
    AxisSettings rightAxis_{.caption = "Y2-Axis", .colour = plot::kGreen};
    plot::PlotAreaLayout areaLayout_{
        .leftPercent = 10, .rightPercent = 90, .topPercent = 10, .bottomPercent = 80};
    plot::Color backColour_ = plot::kButtonFace;
    plot::Color frameColour_ = plot::kBlue;
    double fontScale_ = 1.5;
    int symbolSize_ = 8;
    bool fixedNumberFormat_ = true;
    QPoint readoutPosition_{2, 2};
    bool xGridOn_ = false;
    bool leftGridOn_ = false;
    bool rightGridOn_ = false;
    bool rulerOn_ = false;
    bool fastDrawing_ = true;
    TraceList traces_;

    plot::Canvas canvas_;
    QSize asideSize_; // while a picture is drawn aside: its size
    plot::PlotEngine engine_{*this};
    bool pictureStale_ = true;
    bool updateRequested_ = false;
    QElapsedTimer sinceLastPaint_;
    QTimer nextRefresh_;
    bool confined_ = false;
    QRect confinement_;
};

} // namespace graph
