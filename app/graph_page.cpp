// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/graph_page.h"

#include "app/compared_curve.h"
#include "app/dialogs.h"
#include "app/popup_menu.h"
#include "app/run_list.h"
#include "app/run_menu.h"
#include "app/store_curve.h"
#include "counter/reading.h"
#include "graph/xy_plot.h"

#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <iterator>
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

// How often the overlay of a live run takes in its new readings.
constexpr int kComparisonRefreshMs = 1000;

struct ComparisonEntry {
    const char* caption;
    analysis::Comparison comparison;
};
constexpr std::array<ComparisonEntry, 4> kComparisons{{
    {"As read", analysis::Comparison::AsRead},
    {"Fractional offset from the mean", analysis::Comparison::OffsetFromMean},
    {"Fractional offset from the nominal frequency", analysis::Comparison::OffsetFromNominal},
    {"Phase residual", analysis::Comparison::PhaseResidual},
}};

const char* comparisonCaption(analysis::Comparison comparison) {
    switch (comparison) {
    case analysis::Comparison::AsRead:
        break;
    case analysis::Comparison::OffsetFromMean:
    case analysis::Comparison::OffsetFromNominal:
        return "Fractional frequency offset";
    case analysis::Comparison::PhaseResidual:
        return "Phase residual/s";
    }
    return nullptr;
}

// A run's overlay: its readings as compared, the line broken at its gaps.
graph::Trace overlayOf(const Run& run, analysis::Comparison comparison) {
    auto curve = std::make_shared<ComparedCurve>(*run.readings, comparison);
    const std::vector<recording::PlacedGap>& gaps = curve->readings().gaps();
    graph::Trace trace;
    trace.points = graph::PointArray(std::move(curve));
    takeInBrokenAtGaps(trace.points, gaps);
    trace.colour = run.colour;
    trace.label = run.name;
    return trace;
}

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

void GraphPage::useRuns(RunList& runs) {
    runs_ = &runs;
    comparisonRefresh_ = new QTimer(this);
    comparisonRefresh_->setSingleShot(true);
    comparisonRefresh_->setInterval(kComparisonRefreshMs);
    connect(comparisonRefresh_, &QTimer::timeout, this, &GraphPage::showRuns);
    connect(&runs, &RunList::changed, this, &GraphPage::showRuns);
    addComparisonMenu();
}

void GraphPage::addComparisonMenu() {
    QAction* before = menu_->actions().at(menu_->actions().size() - 2); // the last separator
    auto* runMenu = new QMenu(menu_);
    addRunMenu(runMenu, *runs_);
    QMenu* compare = addSubMenu(runMenu, "Compare runs as");
    for (const ComparisonEntry& entry : kComparisons) {
        QAction* action = addMenuEntry(compare, entry.caption);
        action->setCheckable(true);
        action->setChecked(entry.comparison == runs_->comparison());
        connect(action, &QAction::triggered, this,
                [this, comparison = entry.comparison] { runs_->setComparison(comparison); });
        connect(runs_, &RunList::changed, action, [this, action, comparison = entry.comparison] {
            action->setChecked(comparison == runs_->comparison());
        });
    }
    for (QAction* action : runMenu->actions()) {
        menu_->insertAction(before, action);
    }
}

// Every visible run from its store as it stands; trace 0 keeps following the shown run meanwhile,
// hidden, so leaving the comparison shows it as it would have been.
void GraphPage::showRuns() {
    if (runs_ == nullptr || !runs_->comparing()) {
        leaveComparison();
        return;
    }
    graph::TraceList& traces = plot_->traces();
    if (!comparing_) {
        comparing_ = true;
        singleRunAxis_ = plot_->leftAxis();
    }
    if (traces.empty()) {
        plot_->addTrace(false, graph::PointArray());
    }
    traces.front().visible = false;
    // An overlay whose run, size and comparison are the same is kept: a file's overlay is formed
    // once, not at every refresh of the live one.
    graph::TraceList kept(std::make_move_iterator(traces.begin() + 1),
                          std::make_move_iterator(traces.end()));
    std::vector<OverlayKey> keys = std::move(overlays_);
    traces.resize(1);
    overlays_.clear();
    for (const Run& run : runs_->runs()) {
        if (!run.visible || !run.readings || run.readings->empty()) {
            continue;
        }
        const OverlayKey key{run.readings.get(), run.readings->size(), runs_->comparison(),
                             run.colour};
        const auto held = std::find(keys.begin(), keys.end(), key);
        traces.push_back(held != keys.end() && held - keys.begin() < std::ssize(kept)
                             ? std::move(kept[static_cast<std::size_t>(held - keys.begin())])
                             : overlayOf(run, runs_->comparison()));
        overlays_.push_back(key);
    }
    applyComparisonAxis();
    plot_->invalidate();
}

// Values as read keep trace 0's axis, units and all; the others have captions of their own.
void GraphPage::applyComparisonAxis() {
    graph::AxisSettings left = singleRunAxis_;
    if (const char* caption = comparisonCaption(runs_->comparison())) {
        left.caption = caption;
        left.scaleFactor = 1;
    }
    left.autoRange = true;
    plot_->setLeftAxis(left);
}

void GraphPage::leaveComparison() {
    if (!comparing_) {
        return;
    }
    comparing_ = false;
    comparisonRefresh_->stop();
    overlays_.clear();
    graph::TraceList& traces = plot_->traces();
    if (!traces.empty()) {
        traces.resize(1);
        traces.front().visible = true;
    }
    plot_->setLeftAxis(singleRunAxis_);
    plot_->invalidate();
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
    graph::AxisSettings left = comparing_ ? singleRunAxis_ : plot_->leftAxis();
    if (const auto caption = frequencyAxisCaption(divisor)) {
        left.caption = *caption;
    }
    if (const auto factor = axisScaleFactor(divisor)) {
        left.scaleFactor = *factor;
    }
    setTraceZeroAxis(left);
}

// While runs are compared, what trace 0 shows on its own from the end of the comparison on.
void GraphPage::setTraceZeroAxis(const graph::AxisSettings& axis) {
    if (comparing_) {
        singleRunAxis_ = axis;
        applyComparisonAxis();
    } else {
        plot_->setLeftAxis(axis);
    }
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
    if (comparing_) {
        if (!comparisonRefresh_->isActive()) {
            comparisonRefresh_->start();
        }
    } else {
        showValueKind(reading.quantity);
    }
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

void GraphPage::showStore(std::shared_ptr<const recording::ReadingTable> readings,
                          counter::Quantity quantity) {
    const std::vector<recording::PlacedGap> gaps = readings->gaps();
    graph::PointArray points(std::make_shared<StoreCurve>(std::move(readings)));
    takeInBrokenAtGaps(points, gaps);
    showMeasurement(std::move(points), quantity);
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
    graph::AxisSettings left = comparing_ ? singleRunAxis_ : plot_->leftAxis();
    left.caption = caption;
    setTraceZeroAxis(left);
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
