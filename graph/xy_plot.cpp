// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/xy_plot.h"

#include "plot/qt_print_target.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace graph {
namespace {

// Buttons other than left and right go to the engine as the middle one, which it ignores.
plot::MouseButton buttonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return plot::MouseButton::Left;
    case Qt::RightButton:
        return plot::MouseButton::Right;
    default:
        return plot::MouseButton::Middle;
    }
}

// Keys and held buttons as the engine reads them: Shift, Alt, Ctrl, left button.
int shiftState(const QMouseEvent* event) {
    int shift = 0;
    const Qt::KeyboardModifiers keys = event->modifiers();
    if (keys & Qt::ShiftModifier)
        shift |= plot::kShiftKey;
    if (keys & Qt::AltModifier)
        shift |= plot::kAltKey;
    if (keys & Qt::ControlModifier)
        shift |= plot::kCtrlKey;
    if (event->buttons() & Qt::LeftButton)
        shift |= plot::kLeftButtonHeld;
    return shift;
}

} // namespace

XyPlot::XyPlot(QWidget* parent) : QWidget(parent) {
    // The whole control is drawn from the picture buffer; Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    nextRefresh_.setSingleShot(true);
    nextRefresh_.setTimerType(Qt::PreciseTimer);
    connect(&nextRefresh_, &QTimer::timeout, this, [this] { update(); });
}

XyPlot::~XyPlot() = default;

void XyPlot::setXGridOn(bool on) {
    xGridOn_ = on;
    requestRepaint();
}

void XyPlot::setLeftGridOn(bool on) {
    leftGridOn_ = on;
    requestRepaint();
}

void XyPlot::setRightGridOn(bool on) {
    rightGridOn_ = on;
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

void XyPlot::unzoomAll() {
    engine_.unzoom(0);
    requestRepaint();
}

void XyPlot::copyToClipboard() {
    engine_.copyToClipboard();
}

void XyPlot::print() {
    engine_.print(false, 0, 0.0);
}

// Readings may come far faster than the screen shows pictures: one paint per screen refresh at
// most, the first reading after a quiet spell at once, a later one at the next refresh.
void XyPlot::requestRepaint() {
    pictureStale_ = true;
    if (updateRequested_) {
        return;
    }
    updateRequested_ = true;
    const int interval = refreshIntervalMs();
    const qint64 since = sinceLastPaint_.isValid() ? sinceLastPaint_.elapsed() : interval;
    if (since >= interval) {
        update();
    } else {
        nextRefresh_.start(static_cast<int>(interval - since));
    }
}

int XyPlot::refreshIntervalMs() const {
    constexpr double kFallbackHz = 60;
    const QScreen* shown = screen();
    const double hz = shown && shown->refreshRate() >= 1 ? shown->refreshRate() : kFallbackHz;
    return std::max(1, static_cast<int>(std::ceil(1000 / hz)));
}

void XyPlot::repaintNow() {
    pictureStale_ = true;
    repaint();
}

void XyPlot::invalidate() {
    requestRepaint();
}

void XyPlot::setScreenCursor(plot::ScreenCursor cursor) {
    switch (cursor) {
    case plot::ScreenCursor::Default:
        unsetCursor();
        break;
    case plot::ScreenCursor::Cross:
        setCursor(Qt::CrossCursor);
        break;
    case plot::ScreenCursor::HourGlass:
        setCursor(Qt::WaitCursor);
        break;
    }
}

void XyPlot::confinePointer(const QRect& screenRect) {
    confinement_ = screenRect;
    confined_ = true;
}

void XyPlot::releasePointer() {
    confined_ = false;
}

QPoint XyPlot::screenOffset() const {
    return mapToGlobal(QPoint(0, 0));
}

void XyPlot::beep() {
    QApplication::beep();
}

std::unique_ptr<plot::PrintTarget> XyPlot::openPrinter() {
    return std::make_unique<plot::QtPrintTarget>();
}

void XyPlot::paintEvent(QPaintEvent*) {
    // The engine draws the ruler and the zoom rectangle into the buffer between repaints; such a
    // paint only shows the buffer, a stale picture is drawn anew first.
    updateRequested_ = false;
    nextRefresh_.stop();
    sinceLastPaint_.start();
    if (pictureStale_ || canvas_.width() != width() || canvas_.height() != height()) {
        pictureStale_ = false;
        paintGraph();
    }
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_.image());
}

void XyPlot::resizeEvent(QResizeEvent*) {
    pictureStale_ = true;
}

QPoint XyPlot::confinedPosition(QMouseEvent* event) {
    QPoint local = event->position().toPoint();
    if (!confined_)
        return local;
    // The confinement rectangle excludes its right and bottom edge.
    const QPoint screen = local + screenOffset();
    const QPoint clamped(std::clamp(screen.x(), confinement_.left(), confinement_.right()),
                         std::clamp(screen.y(), confinement_.top(), confinement_.bottom()));
    if (clamped != screen) {
        QCursor::setPos(clamped);
        local = clamped - screenOffset();
    }
    return local;
}

void XyPlot::mousePressEvent(QMouseEvent* event) {
    if (!rulerOn_)
        return;
    const QPoint at = event->position().toPoint();
    // The engine remembers the last mouse position; a press or release starts that afresh.
    engine_.forgetMousePosition();
    engine_.mouseDown(buttonCode(event->button()), shiftState(event), at.x(), at.y());
    update();
}

void XyPlot::mouseMoveEvent(QMouseEvent* event) {
    if (!rulerOn_)
        return;
    const QPoint at = confinedPosition(event);
    engine_.mouseMove(shiftState(event), at.x(), at.y());
    update();
}

void XyPlot::mouseReleaseEvent(QMouseEvent* event) {
    if (!rulerOn_)
        return;
    const QPoint at = confinedPosition(event);
    engine_.forgetMousePosition();
    engine_.mouseUp(buttonCode(event->button()), shiftState(event), at.x(), at.y());
    requestRepaint();
}

} // namespace graph
