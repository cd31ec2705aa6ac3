// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"
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

// A control that shows a picture drawn through its own plotting engine into its own picture
// buffer: every paint after a change draws the whole picture anew (drawPicture), at most once per
// screen refresh. While the ruler is on the mouse zooms (Ctrl + drag) and reads values (drag).
class PlotView : public QWidget, public plot::EngineHost {
    Q_OBJECT

public:
    explicit PlotView(QWidget* parent = nullptr);
    ~PlotView() override;

    bool rulerOn() const { return rulerOn_; }
    void setRulerOn(bool on) { rulerOn_ = on; }

    void unzoomAll();
    void copyToClipboard();
    void print();

    // The picture as last drawn, with any ruler or zoom rectangle on it.
    const QImage& picture() const { return canvas_.image(); }
    // The picture drawn anew at `size` by the control's engine (its zoom windows hold), without
    // ruler or zoom rectangle, as the screen would show it at that size; with `echo` also as
    // vector shapes. The screen's picture is drawn anew after it.
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
    // Draws the whole picture from a clean start of the engine onto the canvas, already sized.
    virtual void drawPicture(plot::PlotEngine& engine, plot::Canvas& canvas) = 0;
    void requestRepaint();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int refreshIntervalMs() const;
    void paintPicture();
    QPoint confinedPosition(QMouseEvent* event);

    bool rulerOn_ = false;
    plot::Canvas canvas_;
    QSize asideSize_; // while a picture is drawn aside: its size
    plot::PlotEngine engine_{*this};
    bool pictureStale_ = true;
    bool updateRequested_ = false;
    QElapsedTimer sinceLastPaint_;
    double lastPictureMs_ = 0; // what drawing the last picture took
    QTimer nextRefresh_;
    bool confined_ = false;
    QRect confinement_;
};

} // namespace graph
