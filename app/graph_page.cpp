// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/graph_page.h"

#include "app/dialogs.h"
#include "app/popup_menu.h"
#include "app/store_curve.h"
#include "counter/reading.h"
#include "graph/xy_plot.h"

#include <QMenu>
#include <QVBoxLayout>
#include <limits>

namespace app {
namespace {

// The window's graph prints on the printer the user chose in the printer set-up dialog.
class ChosenPrinterPlot : public graph::XyPlot {
public:
    ChosenPrinterPlot(QWidget* parent, std::shared_ptr<Dialogs> dialogs)
        : graph::XyPlot(parent), dialogs_(std::move(dialogs)) {}

    std::unique_ptr<plot::PrintTarget> openPrinter() override { return dialogs_->openPrinter(); }

private:
    std::shared_ptr<Dialogs> dialogs_;
};

} // namespace

GraphPage::GraphPage(std::shared_ptr<Dialogs> dialogs, QWidget* parent)
    : Page(parent), dialogs_(std::move(dialogs)), plot_(new ChosenPrinterPlot(this, dialogs_)),
      menu_(new QMenu(this)) {
    graph::AxisSettings x = plot_->xAxis();
    x.caption = "Time/s";
    plot_->setXAxis(x);
    graph::AxisSettings left = plot_->leftAxis();
    left.fixedFrom = 24999990.0;
    left.fixedTo = 25000010.0;
    plot_->setLeftAxis(left);
    plot::PlotAreaLayout area = plot_->areaLayout();
    area.leftPercent = 20;
    plot_->setAreaLayout(area);
    plot_->setFixedNumberFormat(false);
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
            plot_->invalidate();
        });
    }
    QMenu* frequency = addSubMenu(menu_, "Frequency unit");
    for (const UnitEntry& unit : kFrequencyUnits) {
        connect(addMenuEntry(frequency, unit.caption), &QAction::triggered, this, [this, unit] {
            applyFrequencyUnit(unit.divisor);
            plot_->invalidate();
        });
    }
    menu_->addSeparator();
    connect(addMenuEntry(menu_, "Clear"), &QAction::triggered, this,
            [this] { plot_->clearTrace(0); });
    connect(addMenuEntry(menu_, "Unzoom"), &QAction::triggered, this,
            [this] { plot_->unzoomAll(); });
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
    graph::AxisSettings x = plot_->xAxis();
    if (const auto caption = timeAxisCaption(divisor)) {
        x.caption = *caption;
    }
    if (const auto factor = axisScaleFactor(divisor)) {
        x.scaleFactor = *factor;
    }
    plot_->setXAxis(x);
}

// The caption becomes a frequency caption even while the readings are periods; the next period
// reading sets the period caption again.
void GraphPage::applyFrequencyUnit(double divisor) {
    units_.frequencyDivisor = divisor;
    graph::AxisSettings left = plot_->leftAxis();
    if (const auto caption = frequencyAxisCaption(divisor)) {
        left.caption = *caption;
    }
    if (const auto factor = axisScaleFactor(divisor)) {
        left.scaleFactor = *factor;
    }
    plot_->setLeftAxis(left);
}

void GraphPage::startTrace(std::shared_ptr<const recording::ReadingTable> readings) {
    showTrace(graph::PointArray(std::make_shared<StoreCurve>(std::move(readings))));
}

void GraphPage::showTrace(graph::PointArray points) {
    plot_->setRulerOn(true);
    plot_->clearAllTraces();
    plot_->addTrace(false, std::move(points));
    plot_->followSource(0);
}

// The x axis as last drawn, zoom included, back in seconds; everything before the first paint.
TimeSpan GraphPage::shownTimeSpan() const {
    const plot::AxisRecord& x = plot_->engine().plotArea(1).axisRecord[plot::kAxisX];
    const double scale = plot_->xAxis().scaleFactor;
    if (!x.axisDefined || !(scale > 0)) {
        return {-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    }
    return {x.axisMin / scale, x.axisMax / scale};
}

void GraphPage::addReading(double seconds, const counter::Reading& reading) {
    showValueKind(reading.quantity);
    if (!plot_->traces().empty() && plot_->traces()[0].points.followsSource()) {
        plot_->followSource(0);
    } else {
        plot_->addPoint(0, seconds, reading.value);
    }
}

void GraphPage::addGap() {
    if (!plot_->traces().empty()) {
        plot_->traces()[0].points.breakLine();
    }
}

// One repaint shows them all.
void GraphPage::showMeasurement(graph::PointArray trace, counter::Quantity quantity) {
    showTrace(std::move(trace));
    showValueKind(quantity);
    plot_->invalidate();
}

// Periods and phase are shown in seconds whatever frequency unit is chosen.
void GraphPage::showValueKind(counter::Quantity quantity) {
    switch (quantity) {
    case counter::Quantity::Frequency:
        applyFrequencyUnit(units_.frequencyDivisor);
        return;
    case counter::Quantity::Period:
        showSecondsCaption("Period/s");
        return;
    case counter::Quantity::Phase:
        showSecondsCaption("Phase/s");
        return;
    }
}

void GraphPage::showSecondsCaption(const char* caption) {
    graph::AxisSettings left = plot_->leftAxis();
    left.caption = caption;
    plot_->setLeftAxis(left);
}

// The copy and the printout take the pixels as they stand on the screen, so the window comes to
// the front and is drawn anew first.
void GraphPage::redrawWindow() {
    window()->raise();
    window()->activateWindow();
    plot_->invalidate();
    window()->repaint();
}

void GraphPage::copyToClipboard() {
    redrawWindow();
    plot_->copyToClipboard();
}

void GraphPage::print() {
    if (!dialogs_->executePrinterSetup()) {
        return;
    }
    redrawWindow();
    plot_->print();
}

} // namespace app
