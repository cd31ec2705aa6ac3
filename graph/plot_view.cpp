// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/plot_view.h"

#include "plot/qt_print_target.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <utility>

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

PlotView::PlotView(QWidget* parent) : QWidget(parent) {
    // The whole control is drawn from the picture buffer; Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    nextRefresh_.setSingleShot(true);
    nextRefresh_.setTimerType(Qt::PreciseTimer);
    connect(&nextRefresh_, &QTimer::timeout, this, [this] { update(); });
}

PlotView::~PlotView() = default;

void PlotView::unzoomAll() {
    engine_.unzoom(0);
    requestRepaint();
}

void PlotView::copyToClipboard() {
    engine_.copyToClipboard();
}

void PlotView::print() {
    engine_.print(false, 0, 0.0);
}

// Readings may come far faster than the screen shows pictures: one paint per screen refresh at
// most, the first reading after a quiet spell at once, a later one at the next refresh. A picture
// that takes long to draw (millions of points) is drawn at most as often as keeps the processor
// quiet: a two-hundredth of the time goes to drawing while changes come without pause, and a
// picture is at most a second late.
void PlotView::requestRepaint() {
    constexpr double kQuietFactor = 200;
    constexpr int kLongestIntervalMs = 1000;
    pictureStale_ = true;
    if (updateRequested_) {
        return;
    }
    updateRequested_ = true;
    const int interval = std::max(
        refreshIntervalMs(),
        std::min(kLongestIntervalMs, static_cast<int>(std::ceil(kQuietFactor * lastPictureMs_))));
    const qint64 since = sinceLastPaint_.isValid() ? sinceLastPaint_.elapsed() : interval;
    if (since >= interval) {
        update();
    } else {
        nextRefresh_.start(static_cast<int>(interval - since));
    }
}

int PlotView::refreshIntervalMs() const {
    constexpr double kFallbackHz = 60;
    const QScreen* shown = screen();
    const double hz = shown && shown->refreshRate() >= 1 ? shown->refreshRate() : kFallbackHz;
    return std::max(1, static_cast<int>(std::ceil(1000 / hz)));
}

void PlotView::repaintNow() {
    pictureStale_ = true;
    repaint();
}

void PlotView::invalidate() {
    requestRepaint();
}

void PlotView::setScreenCursor(plot::ScreenCursor cursor) {
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

void PlotView::confinePointer(const QRect& screenRect) {
    confinement_ = screenRect;
    confined_ = true;
}

void PlotView::releasePointer() {
    confined_ = false;
}

QPoint PlotView::screenOffset() const {
    return mapToGlobal(QPoint(0, 0));
}

void PlotView::beep() {
    QApplication::beep();
}

std::unique_ptr<plot::PrintTarget> PlotView::openPrinter() {
    return std::make_unique<plot::QtPrintTarget>();
}

void PlotView::paintEvent(QPaintEvent*) {
    // The engine draws the ruler and the zoom rectangle into the buffer between repaints; such a
    // paint only shows the buffer, a stale picture is drawn anew first.
    updateRequested_ = false;
    nextRefresh_.stop();
    sinceLastPaint_.start();
    if (pictureStale_ || canvas_.width() != width() || canvas_.height() != height()) {
        pictureStale_ = false;
        QElapsedTimer drawing;
        drawing.start();
        paintPicture();
        lastPictureMs_ = static_cast<double>(drawing.nsecsElapsed()) / 1e6;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_.image());
}

void PlotView::resizeEvent(QResizeEvent*) {
    pictureStale_ = true;
}

QPoint PlotView::confinedPosition(QMouseEvent* event) {
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

void PlotView::mousePressEvent(QMouseEvent* event) {
    if (!rulerOn_)
        return;
    const QPoint at = event->position().toPoint();
    // The engine remembers the last mouse position; a press or release starts that afresh.
    engine_.forgetMousePosition();
    engine_.mouseDown(buttonCode(event->button()), shiftState(event), at.x(), at.y());
    update();
}

void PlotView::mouseMoveEvent(QMouseEvent* event) {
    if (!rulerOn_)
        return;
    const QPoint at = confinedPosition(event);
    engine_.mouseMove(shiftState(event), at.x(), at.y());
    update();
}

void PlotView::mouseReleaseEvent(QMouseEvent* event) {
    if (!rulerOn_)
        return;
    const QPoint at = confinedPosition(event);
    engine_.forgetMousePosition();
    engine_.mouseUp(buttonCode(event->button()), shiftState(event), at.x(), at.y());
    requestRepaint();
}

void PlotView::paintPicture() {
    if (canvas_.width() != engineWidth() || canvas_.height() != engineHeight())
        canvas_.setSize(engineWidth(), engineHeight());
    drawPicture(engine_, canvas_);
}

QImage PlotView::pictureAt(QSize size, plot::VectorEcho* echo) {
    plot::Canvas aside(size.width(), size.height());
    std::swap(canvas_, aside);
    asideSize_ = size;
    canvas_.echoTo(echo);
    paintPicture();
    canvas_.echoTo(nullptr);
    asideSize_ = QSize();
    std::swap(canvas_, aside);
    // The engine's mapping and ruler now fit the picture: the screen's come back with its own.
    repaintNow();
    return aside.image();
}

} // namespace graph
