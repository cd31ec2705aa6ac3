#include "app/main_window.h"

#include "app/axis_units.h"
#include "app/formats/data_export.h"
#include "app/formats/settings_file.h"
#include "app/resize_layout.h"
#include "counter/kelvo_counter.h"
#include "graph/xy_plot.h"
#include "portselect/com_port_combo_box.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

namespace app {

void TForm1::FormCreate() {
    ReadSettings();
    SetCaption(Title);
    // Widgets paint through a back buffer already; the "Display" and "Graph" pages never flicker.
    CCom->SetPort(SavedPort);
    KELVO_Counter->setPort(CCom->Port());
    ApplyTimeUnit(TimeDivisor);
}

void TForm1::ReadSettings() {
    TSettings settings = CurrentSettings();
    const std::string error = app::ReadSettings(SettingsFileName(settingsFolder_), settings);
    ApplySettings(settings);
    if (!error.empty()) {
        ShowError(error);
    }
}

void TForm1::WriteSettings() {
    const std::string error =
        app::WriteSettings(SettingsFileName(settingsFolder_), CurrentSettings());
    if (!error.empty()) {
        ShowError(error);
    }
}

TSettings TForm1::CurrentSettings() const {
    return TSettings{SavedPort, TimeDivisor,        FrequencyDivisor,  x(), y(), width(),
                     height(),  CCom->FilterShow(), CCom->FilterType()};
}

void TForm1::ApplySettings(const TSettings& settings) {
    SavedPort = settings.SavedPort;
    TimeDivisor = settings.TimeDivisor;
    FrequencyDivisor = settings.FrequencyDivisor;
    move(settings.Left, settings.Top);
    resize(settings.Width, settings.Height); // the smallest size bounds it
    CCom->SetFilterShow(static_cast<std::uint8_t>(settings.FilterShow));
    CCom->SetFilterType(static_cast<std::uint8_t>(settings.FilterType));
}

void TForm1::ApplyTimeUnit(double divisor) {
    TimeDivisor = divisor;
    if (const auto caption = TimeAxisCaption(divisor)) {
        XY->X_Caption = *caption;
    }
    if (const auto factor = AxisScaleFactor(divisor)) {
        XY->X_ScaleFactor = *factor;
    }
}

void TForm1::FormResize() {
    TResizeInput in;
    in.ConnectPageHeight = TabMeasure->height();
    in.BConnectHeight = BConnect->height();
    in.CComHeight = CCom->height();
    in.CheckAutoHeight = CheckAuto->height();
    in.LCHeight = LC->height();
    in.LBCWidth = TabConsole->width();
    in.ECLeft = EC->x();
    in.DisplayPageWidth = TabDisplay->width();
    in.DisplayPageHeight = TabDisplay->height();
    const QFont baseFont = LFreq->font();
    in.MeasureBigDigits = [&baseFont](int pointSize, const std::string& text) {
        QFont font = baseFont;
        font.setPointSize(pointSize);
        const QFontMetrics metrics(font);
        const QString qtext = QString::fromLatin1(text);
        return TTextExtent{metrics.horizontalAdvance(qtext), metrics.height()};
    };
    const TResizeLayout out = ComputeResizeLayout(in);

    BConnect->move(BConnect->x(), out.BConnectTop);
    CCom->move(CCom->x(), out.CComTop);
    LB->resize(TabMeasure->width(), std::max(0, out.LBHeight));
    CheckAuto->move(CheckAuto->x(), out.CheckAutoTop);
    QFont font = baseFont;
    font.setPointSize(out.LFreqFontSize);
    LFreq->setFont(font);
    LFreq->setGeometry(out.LFreqLeft, out.LFreqTop,
                       std::max(0, TabDisplay->width() - 2 * out.LFreqLeft),
                       QFontMetrics(font).height());
    LBC->resize(TabConsole->width(), std::max(0, out.LBCHeight));
    LC->move(LC->x(), out.LCTop);
    EC->setGeometry(EC->x(), out.ECTop, std::max(0, out.ECWidth), EC->height());
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && (watched == TabMeasure || watched == TabDisplay)) {
        FormResize();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TForm1::FormClose() {
    WriteSettings();
    const std::string error = SaveData(LastMeasurementFile, ".dat", *Log, StartTime);
    if (!error.empty()) {
        ShowError(error);
    }
}

} // namespace app
