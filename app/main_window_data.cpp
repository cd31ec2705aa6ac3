#include "app/main_window.h"

#include "app/axis_units.h"
#include "app/formats/group_digits.h"
#include "counter/reading.h"
#include "graph/xy_plot.h"

#include <QLabel>
#include <QTableView>

namespace app {

void TForm1::addReading(const counter::Reading& reading) {
    // Whole milliseconds on the monotonic clock: a clock change must not bend the data.
    const double t = static_cast<double>(monotonicMs_() - startMs_);
    const double v = reading.value;
    SetStatus(reading.telegram);
    if (reading.isPeriod) {
        XY->Y_Left_Caption = "Period/s";
    } else {
        ApplyFrequencyUnit(FrequencyDivisor);
    }
    Log->Append(t, v);
    ScrollLogToNewest();
    XY->AddPoint(0, t / 1000, v);
    LFreq->setText(QString::fromLatin1(groupDigits(reading.valueText) + "  " + reading.unitText));
}

// The list lays out all its lines before it can scroll; scrolling once per turn of the event
// loop, not once per reading, keeps a burst of readings from costing a layout each.
void TForm1::ScrollLogToNewest() {
    if (scrollPending_) {
        return;
    }
    scrollPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            scrollPending_ = false;
            if (Log->Count() > 0) {
                LB->scrollTo(Log->index(Log->Count() - 1), QAbstractItemView::PositionAtTop);
            }
        },
        Qt::QueuedConnection);
}

void TForm1::ApplyFrequencyUnit(double divisor) {
    FrequencyDivisor = divisor;
    if (const auto caption = FrequencyAxisCaption(divisor)) {
        XY->Y_Left_Caption = *caption;
    }
    if (const auto factor = AxisScaleFactor(divisor)) {
        XY->Y_Left_ScaleFactor = *factor;
    }
}

void TForm1::seconds1Click() {
    ApplyTimeUnit(1);
    XY->Invalidate();
}

void TForm1::minutes1Click() {
    ApplyTimeUnit(60);
    XY->Invalidate();
}

void TForm1::hours1Click() {
    ApplyTimeUnit(3600);
    XY->Invalidate();
}

void TForm1::Hz1Click() {
    ApplyFrequencyUnit(1);
    XY->Invalidate();
}

void TForm1::kHz1Click() {
    ApplyFrequencyUnit(1000);
    XY->Invalidate();
}

void TForm1::MHz1Click() {
    ApplyFrequencyUnit(1000000);
    XY->Invalidate();
}

void TForm1::GHz1Click() {
    ApplyFrequencyUnit(1000000000);
    XY->Invalidate();
}

void TForm1::Clear1Click() {
    XY->ClearTrace(0);
}

} // namespace app
