#pragma once

#include "graph/trace.h"
#include "plot/canvas.h"
#include "plot/colors.h"
#include "plot/engine_host.h"
#include "plot/plot_engine.h"

#include <QRect>
#include <QWidget>
#include <string>

class QMouseEvent;
class QPaintEvent;

// The graph control: a store of traces of (x, y) points and the axis and layout settings; every
// paint draws the whole graph anew through the control's own plotting engine into its own
// picture buffer. While XY_RulerOn the mouse zooms (Ctrl + drag) and reads values (drag).
class TXYPlot : public QWidget, public plot::EngineHost {
    Q_OBJECT

public:
    explicit TXYPlot(QWidget* Parent = nullptr);
    ~TXYPlot() override;

    std::string X_Caption = "X-Axis";
    std::string Y_Left_Caption = "Y1-Axis";
    std::string Y_Right_Caption = "Y2-Axis";
    plot::Color X_Color = plot::kBlue;
    plot::Color Y_Left_Color = plot::kBlue;
    plot::Color Y_Right_Color = plot::kGreen;
    bool Y_Left_Auto = true;
    bool Y_Right_Auto = true;
    bool X_Auto = true;
    double Y_Left_0 = -1.0;
    double Y_Left_1 = 1.0;
    double Y_Right_0 = -1.0;
    double Y_Right_1 = 1.0;
    double X_0 = -1.0;
    double X_1 = 1.0;
    double Scale = 1.5;
    plot::Color XY_BackColor = plot::kButtonFace;
    plot::Color XY_FrameColor = plot::kBlue;
    int XY_LeftPerCent = 10;
    int XY_RightPerCent = 90;
    int XY_TopPerCent = 10;
    int XY_BottomPerCent = 80;
    int XY_LeftPixels = 0;
    int XY_RightPixels = 0;
    int XY_TopPixels = 0;
    int XY_BottomPixels = 0;
    bool XY_ClipOn = false;
    int XY_SymbolSize = 8;
    int XY_Ruler_X = 2;
    int XY_Ruler_Y = 2;
    bool XY_FixedNumberFormat = true;
    double X_ScaleFactor = 1.0;
    double Y_Left_ScaleFactor = 1.0;
    double Y_Right_ScaleFactor = 1.0;

    // Draw the traces through per-column coverage masks instead of one engine call per point;
    // the picture is the same pixel for pixel.
    bool FastDrawing = true;

    bool X_GridOn() const { return xGridOn_; }
    void SetX_GridOn(bool On);
    bool Y_Left_GridOn() const { return yLeftGridOn_; }
    void SetY_Left_GridOn(bool On);
    bool Y_Right_GridOn() const { return yRightGridOn_; }
    void SetY_Right_GridOn(bool On);
    bool XY_RulerOn() const { return rulerOn_; }
    void SetXY_RulerOn(bool On);

    // The trace store. Points added through a trace's TPointArray keep the ranges exact, but only
    // the operations below request a repaint.
    TTraceArray Traces;
    const double AutoMargin = 0.05;

    void ClearAllTraces();
    void ClearTrace(int Index);
    int AddTrace(bool RightAxis, const TPointArray& Points);
    int AddPoint(int Index, double X, double Y);

    void UnzoomAll();
    void CopyToClipboard();
    void Print();

    // The picture as last drawn, with any ruler or zoom rectangle on it.
    const QImage& Picture() const { return canvas_.image(); }
    // What the engine drew last: mapping, zoom windows, ruler.
    const plot::PlotEngine& engine() const { return engine_; }

    // plot::EngineHost
    plot::Canvas& EngineCanvas() override { return canvas_; }
    int EngineWidth() const override { return width(); }
    int EngineHeight() const override { return height(); }
    void RepaintNow() override;
    void Invalidate() override;
    void SetScreenCursor(plot::ScreenCursor Cursor) override;
    void ConfinePointer(const QRect& ScreenRect) override;
    void ReleasePointer() override;
    QPoint ScreenOffset() const override;
    void Beep() override;
    std::unique_ptr<plot::PrintTarget> OpenPrinter() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void requestRepaint();
    void paintGraph();
    void drawTraceList(const std::vector<int>& list, double yScaleFactor);
    QPoint confinedPosition(QMouseEvent* event);

    plot::Canvas canvas_;
    plot::PlotEngine engine_{*this};
    bool pictureStale_ = true;
    bool updateRequested_ = false;
    bool xGridOn_ = false;
    bool yLeftGridOn_ = false;
    bool yRightGridOn_ = false;
    bool rulerOn_ = false;
    bool confined_ = false;
    QRect confinement_;
};
