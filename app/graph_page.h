// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/compared_values.h"
#include "app/axis_units.h"
#include "app/page.h"
#include "app/time_span.h"
#include "graph/axis_settings.h"
#include "plot/colors.h"
#include "recording/reading_store.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QMenu;
class QTimer;

namespace graph {
class PointArray;
class XyPlot;
} // namespace graph

namespace counter {
enum class Quantity : std::uint8_t;
struct Reading;
} // namespace counter

namespace app {

class Dialogs;
class RunList;

// The "Graph" page: the readings against time, with the menu of units, clear, unzoom, copy and
// print.
class GraphPage : public Page {
    Q_OBJECT
public:
    explicit GraphPage(std::shared_ptr<Dialogs> dialogs, QWidget* parent = nullptr);

    graph::XyPlot* plot() const { return plot_; }
    QMenu* menu() const { return menu_; }

    AxisUnits units() const { return units_; }
    // The units of a new window: the time axis shows its unit at once, the frequency axis from
    // the first frequency reading on.
    void setUnits(const AxisUnits& units);

    // After a successful connect: the ruler and zoom are on, and trace 0, the one every reading
    // feeds, shows the readings of this store on the left axis.
    void startTrace(std::shared_ptr<const recording::ReadingTable> readings);
    // The time span the x axis shows, zoomed or not; the whole span of the trace before the first
    // paint.
    TimeSpan shownTimeSpan() const;
    // Plots the reading the store has gained, at `seconds` since the connect attempt (where the
    // trace no longer follows the store since "Clear", it keeps the point itself).
    void addReading(double seconds, const counter::Reading& reading);
    // A gap of the recording: the line does not join the last reading to the next.
    void addGap();
    // A whole measurement read back, plotted as if just measured: trace 0 as after a connect,
    // holding every reading, its line broken at the gaps; the left axis tells what they measure.
    // `trace` follows the measurement's store and has taken in its points (MeasurementLoader).
    void showMeasurement(graph::PointArray trace, counter::Quantity quantity);
    // The same for a store held already: its points are taken in here.
    void showStore(std::shared_ptr<const recording::ReadingTable> readings,
                   counter::Quantity quantity);

    // The runs held beside trace 0's: where there are several, the page overlays the visible ones
    // against time since each run's start, compared as the list says, in their colours, and
    // trace 0 hides; with one run it shows trace 0 alone as always.
    void useRuns(RunList& runs);
    // Whether it shows runs compared.
    bool comparing() const { return comparing_; }

signals:
    void connectToggleRequested();

private:
    void buildMenu();
    void addComparisonMenu();
    void showRuns();
    void applyComparisonAxis();
    void leaveComparison();
    void setTraceZeroAxis(const graph::AxisSettings& axis);
    // Trace 0 alone, as after a connect, holding these points and whatever its source gains.
    void showTrace(graph::PointArray points);
    void applyTimeUnit(double divisor);
    void applyFrequencyUnit(double divisor);
    void showValueKind(counter::Quantity quantity);
    void showSecondsCaption(const char* caption);
    void copyToClipboard();
    void print();
    void redrawWindow();

    std::shared_ptr<Dialogs> dialogs_;
    graph::XyPlot* plot_;
    QMenu* menu_;
    AxisUnits units_;
    RunList* runs_ = nullptr;
    bool comparing_ = false;
    graph::AxisSettings singleRunAxis_;   // the left axis of trace 0, while runs are compared
    QTimer* comparisonRefresh_ = nullptr; // takes the live run's new readings into its overlay
    // What each overlay after trace 0 shows, so one whose run has not changed is kept as it is.
    struct OverlayKey {
        const recording::ReadingTable* readings;
        std::size_t size;
        analysis::Comparison comparison;
        plot::Color colour;
        bool operator==(const OverlayKey&) const = default;
    };
    std::vector<OverlayKey> overlays_;
};

} // namespace app
