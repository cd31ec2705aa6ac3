#include "graph/xy_plot.h"

#include "plot/qt_print_target.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

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

TXYPlot::TXYPlot(QWidget* parent) : QWidget(parent) {
    // The whole control is drawn from the picture buffer; Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TXYPlot::~TXYPlot() = default;

void TXYPlot::SetX_GridOn(bool on) {
    xGridOn_ = on;
    requestRepaint();
}

void TXYPlot::SetY_Left_GridOn(bool on) {
    yLeftGridOn_ = on;
    requestRepaint();
}

void TXYPlot::SetY_Right_GridOn(bool on) {
    yRightGridOn_ = on;
    requestRepaint();
}

void TXYPlot::SetXY_RulerOn(bool on) {
    rulerOn_ = on;
}

void TXYPlot::ClearAllTraces() {
    for (TTrace& trace : Traces)
        trace.Points.Clear();
    Traces.clear();
    requestRepaint();
}

void TXYPlot::ClearTrace(int index) {
    if (index < 0 || index >= static_cast<int>(Traces.size()))
        return;
    Traces[index].Points.Clear();
    requestRepaint();
}

int TXYPlot::AddTrace(bool rightAxis, const TPointArray& points) {
    TTrace trace;
    trace.Points = points;
    trace.RightAxis = rightAxis;
    Traces.push_back(std::move(trace));
    requestRepaint();
    return static_cast<int>(Traces.size()) - 1;
}

int TXYPlot::AddPoint(int index, double x, double y) {
    if (index < 0 || index >= static_cast<int>(Traces.size()))
        return -1;
    TPointArray& points = Traces[index].Points;
    points.Add({x, y});
    requestRepaint();
    return static_cast<int>(points.Size());
}

void TXYPlot::UnzoomAll() {
    engine_.unzoom(0);
    requestRepaint();
}

void TXYPlot::CopyToClipboard() {
    engine_.copyToClipboard();
}

void TXYPlot::Print() {
    engine_.print(false, 0, 0.0);
}

void TXYPlot::requestRepaint() {
    // A reading arrives many times per paint; asking Qt once until the paint comes is enough.
    pictureStale_ = true;
    if (!updateRequested_) {
        updateRequested_ = true;
        update();
    }
}

void TXYPlot::RepaintNow() {
    pictureStale_ = true;
    repaint();
}

void TXYPlot::Invalidate() {
    requestRepaint();
}

void TXYPlot::SetScreenCursor(plot::ScreenCursor cursor) {
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

void TXYPlot::ConfinePointer(const QRect& screenRect) {
    confinement_ = screenRect;
    confined_ = true;
}

void TXYPlot::ReleasePointer() {
    confined_ = false;
}

QPoint TXYPlot::ScreenOffset() const {
    return mapToGlobal(QPoint(0, 0));
}

void TXYPlot::Beep() {
    QApplication::beep();
}

std::unique_ptr<plot::PrintTarget> TXYPlot::OpenPrinter() {
    return std::make_unique<plot::QtPrintTarget>();
}

void TXYPlot::paintEvent(QPaintEvent*) {
    // The engine draws the ruler and the zoom rectangle into the buffer between repaints; such a
    // paint only shows the buffer, a stale picture is drawn anew first.
    updateRequested_ = false;
    if (pictureStale_ || canvas_.width() != width() || canvas_.height() != height()) {
        pictureStale_ = false;
        paintGraph();
    }
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_.image());
}

void TXYPlot::resizeEvent(QResizeEvent*) {
    pictureStale_ = true;
}

QPoint TXYPlot::confinedPosition(QMouseEvent* event) {
    QPoint local = event->position().toPoint();
    if (!confined_)
        return local;
    // The confinement rectangle excludes its right and bottom edge.
    const QPoint screen = local + ScreenOffset();
    const QPoint clamped(std::clamp(screen.x(), confinement_.left(), confinement_.right()),
                         std::clamp(screen.y(), confinement_.top(), confinement_.bottom()));
    if (clamped != screen) {
        QCursor::setPos(clamped);
        local = clamped - ScreenOffset();
    }
    return local;
}

void TXYPlot::mousePressEvent(QMouseEvent* event) {
    if (!rulerOn_)
        return;
    const QPoint at = event->position().toPoint();
    // The engine remembers the last mouse position; a press or release starts that afresh.
    engine_.forgetMousePosition();
    engine_.mouseDown(buttonCode(event->button()), shiftState(event), at.x(), at.y());
    update();
}

void TXYPlot::mouseMoveEvent(QMouseEvent* event) {
    if (!rulerOn_)
        return;
    const QPoint at = confinedPosition(event);
    engine_.mouseMove(shiftState(event), at.x(), at.y());
    update();
}

void TXYPlot::mouseReleaseEvent(QMouseEvent* event) {
    if (!rulerOn_)
        return;
    const QPoint at = confinedPosition(event);
    engine_.forgetMousePosition();
    engine_.mouseUp(buttonCode(event->button()), shiftState(event), at.x(), at.y());
    requestRepaint();
}
