#include "graph/xy_plot.h"

#include "plot/qt_print_target.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Buttons other than left and right go to the engine as the middle one, which it ignores.
plot::MouseButton ButtonCode(Qt::MouseButton Button) {
    switch (Button) {
    case Qt::LeftButton:
        return plot::MouseButton::Left;
    case Qt::RightButton:
        return plot::MouseButton::Right;
    default:
        return plot::MouseButton::Middle;
    }
}

// Keys and held buttons as the engine reads them: Shift, Alt, Ctrl, left button.
int ShiftState(const QMouseEvent* Event) {
    int shift = 0;
    const Qt::KeyboardModifiers keys = Event->modifiers();
    if (keys & Qt::ShiftModifier)
        shift |= plot::kShiftKey;
    if (keys & Qt::AltModifier)
        shift |= plot::kAltKey;
    if (keys & Qt::ControlModifier)
        shift |= plot::kCtrlKey;
    if (Event->buttons() & Qt::LeftButton)
        shift |= plot::kLeftButtonHeld;
    return shift;
}

} // namespace

TXYPlot::TXYPlot(QWidget* Parent) : QWidget(Parent) {
    // The whole control is drawn from the picture buffer; Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TXYPlot::~TXYPlot() = default;

void TXYPlot::SetX_GridOn(bool On) {
    xGridOn_ = On;
    RequestRepaint();
}

void TXYPlot::SetY_Left_GridOn(bool On) {
    yLeftGridOn_ = On;
    RequestRepaint();
}

void TXYPlot::SetY_Right_GridOn(bool On) {
    yRightGridOn_ = On;
    RequestRepaint();
}

void TXYPlot::SetXY_RulerOn(bool On) {
    rulerOn_ = On;
}

void TXYPlot::ClearAllTraces() {
    for (TTrace& trace : Traces)
        trace.Points.Clear();
    Traces.clear();
    RequestRepaint();
}

void TXYPlot::ClearTrace(int Index) {
    if (Index < 0 || Index >= static_cast<int>(Traces.size()))
        return;
    Traces[Index].Points.Clear();
    RequestRepaint();
}

int TXYPlot::AddTrace(bool RightAxis, const TPointArray& Points) {
    TTrace trace;
    trace.Points = Points;
    trace.RightAxis = RightAxis;
    Traces.push_back(std::move(trace));
    RequestRepaint();
    return static_cast<int>(Traces.size()) - 1;
}

int TXYPlot::AddPoint(int Index, double X, double Y) {
    if (Index < 0 || Index >= static_cast<int>(Traces.size()))
        return -1;
    TPointArray& points = Traces[Index].Points;
    points.Add({X, Y});
    RequestRepaint();
    return static_cast<int>(points.Size());
}

void TXYPlot::UnzoomAll() {
    engine_.unzoom(0);
    RequestRepaint();
}

void TXYPlot::CopyToClipboard() {
    engine_.copyToClipboard();
}

void TXYPlot::Print() {
    engine_.print(false, 0, 0.0);
}

void TXYPlot::RequestRepaint() {
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
    RequestRepaint();
}

void TXYPlot::SetScreenCursor(plot::ScreenCursor Cursor) {
    switch (Cursor) {
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

void TXYPlot::ConfinePointer(const QRect& ScreenRect) {
    confinement_ = ScreenRect;
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
        PaintGraph();
    }
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_.image());
}

void TXYPlot::resizeEvent(QResizeEvent*) {
    pictureStale_ = true;
}

QPoint TXYPlot::ConfinedPosition(QMouseEvent* Event) {
    QPoint local = Event->position().toPoint();
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

void TXYPlot::mousePressEvent(QMouseEvent* Event) {
    if (!rulerOn_)
        return;
    const QPoint at = Event->position().toPoint();
    // The engine remembers the last mouse position; a press or release starts that afresh.
    engine_.forgetMousePosition();
    engine_.mouseDown(ButtonCode(Event->button()), ShiftState(Event), at.x(), at.y());
    update();
}

void TXYPlot::mouseMoveEvent(QMouseEvent* Event) {
    if (!rulerOn_)
        return;
    const QPoint at = ConfinedPosition(Event);
    engine_.mouseMove(ShiftState(Event), at.x(), at.y());
    update();
}

void TXYPlot::mouseReleaseEvent(QMouseEvent* Event) {
    if (!rulerOn_)
        return;
    const QPoint at = ConfinedPosition(Event);
    engine_.forgetMousePosition();
    engine_.mouseUp(ButtonCode(Event->button()), ShiftState(Event), at.x(), at.y());
    RequestRepaint();
}
