#include "app/graph_page.h"

#include "app/dialogs.h"
#include "app/popup_menu.h"
#include "counter/reading.h"
#include "graph/xy_plot.h"

#include <QMenu>
#include <QVBoxLayout>

namespace app {
namespace {

// The window's graph prints on the printer the user chose in the printer set-up dialog.
class ChosenPrinterPlot : public TXYPlot {
public:
    ChosenPrinterPlot(QWidget* parent, std::shared_ptr<Dialogs> dialogs)
        : TXYPlot(parent), dialogs_(std::move(dialogs)) {}

    std::unique_ptr<PrintTarget> OpenPrinter() override { return dialogs_->openPrinter(); }

private:
    std::shared_ptr<Dialogs> dialogs_;
};

} // namespace

GraphPage::GraphPage(std::shared_ptr<Dialogs> dialogs, QWidget* parent)
    : Page(parent), dialogs_(std::move(dialogs)), plot_(new ChosenPrinterPlot(this, dialogs_)),
      menu_(new QMenu(this)) {
    plot_->X_Caption = "Time/s";
    plot_->Y_Left_0 = 24999990.0;
    plot_->Y_Left_1 = 25000010.0;
    plot_->XY_LeftPerCent = 20;
    plot_->XY_FixedNumberFormat = false;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot_);
    buildMenu();
    attachPopup(plot_, menu_);
}

void GraphPage::buildMenu() {
    QMenu* time = addSubMenu(menu_, "Time unit");
    for (const UnitEntry& unit : kTimeUnits) {
        connect(addMenuEntry(time, unit.caption), &QAction::triggered, this, [this, unit] {
            applyTimeUnit(unit.divisor);
            plot_->Invalidate();
        });
    }
    QMenu* frequency = addSubMenu(menu_, "Frequency unit");
    for (const UnitEntry& unit : kFrequencyUnits) {
        connect(addMenuEntry(frequency, unit.caption), &QAction::triggered, this, [this, unit] {
            applyFrequencyUnit(unit.divisor);
            plot_->Invalidate();
        });
    }
    menu_->addSeparator();
    connect(addMenuEntry(menu_, "Clear"), &QAction::triggered, this,
            [this] { plot_->ClearTrace(0); });
    connect(addMenuEntry(menu_, "Unzoom"), &QAction::triggered, this,
            [this] { plot_->UnzoomAll(); });
    connect(addMenuEntry(menu_, "Copy graph to clipboard"), &QAction::triggered, this,
            &GraphPage::copyToClipboard);
    connect(addMenuEntry(menu_, "Print"), &QAction::triggered, this, &GraphPage::print);
    menu_->addSeparator();
    connect(addMenuEntry(menu_, "Connect/Disconnect"), &QAction::triggered, this,
            &GraphPage::connectToggleRequested);
}

void GraphPage::setUnits(const AxisUnits& units) {
    units_.frequencyDivisor = units.frequencyDivisor;
    applyTimeUnit(units.timeDivisor);
}

void GraphPage::applyTimeUnit(double divisor) {
    units_.timeDivisor = divisor;
    if (const auto caption = timeAxisCaption(divisor)) {
        plot_->X_Caption = *caption;
    }
    if (const auto factor = axisScaleFactor(divisor)) {
        plot_->X_ScaleFactor = *factor;
    }
}

// The caption becomes a frequency caption even while the readings are periods; the next period
// reading sets the period caption again.
void GraphPage::applyFrequencyUnit(double divisor) {
    units_.frequencyDivisor = divisor;
    if (const auto caption = frequencyAxisCaption(divisor)) {
        plot_->Y_Left_Caption = *caption;
    }
    if (const auto factor = axisScaleFactor(divisor)) {
        plot_->Y_Left_ScaleFactor = *factor;
    }
}

void GraphPage::startTrace() {
    plot_->SetXY_RulerOn(true);
    plot_->ClearAllTraces();
    plot_->AddTrace(false, {});
}

TimeSpan GraphPage::shownTimeSpan() const {
    return {plot_->X_0, plot_->X_1}; // TEMPORARY until the engine lands
}

void GraphPage::addReading(double seconds, const counter::Reading& reading) {
    showValueKind(reading.isPeriod);
    plot_->AddPoint(0, seconds, reading.value);
}

// The points go into the trace store directly; one repaint shows them all.
void GraphPage::showMeasurement(std::span<const counter::MeasurementPoint> readings, bool periods) {
    startTrace();
    TPointArray& points = plot_->Traces[0].Points;
    for (const counter::MeasurementPoint& reading : readings) {
        points.Add({reading.timeMs / 1000, reading.value});
    }
    showValueKind(periods);
    plot_->Invalidate();
}

void GraphPage::showValueKind(bool period) {
    if (period) {
        plot_->Y_Left_Caption = "Period/s";
    } else {
        applyFrequencyUnit(units_.frequencyDivisor);
    }
}

// The copy and the printout take the pixels as they stand on the screen, so the window comes to
// the front and is drawn anew first.
void GraphPage::redrawWindow() {
    window()->raise();
    window()->activateWindow();
    plot_->Invalidate();
    window()->repaint();
}

void GraphPage::copyToClipboard() {
    redrawWindow();
    plot_->CopyToClipboard();
}

void GraphPage::print() {
    if (!dialogs_->executePrinterSetup()) {
        return;
    }
    redrawWindow();
    plot_->Print();
}

} // namespace app
