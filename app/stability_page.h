// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/live_stability.h"
#include "analysis/stability.h"
#include "app/page.h"
#include "app/time_span.h"
#include "counter/reading.h"
#include "recording/measurement_file.h"
#include "recording/measurement_loading.h"

#include <functional>
#include <optional>
#include <span>
#include <vector>

class QLabel;
class QMenu;
class QTableWidget;
class QTimer;

namespace app {

class StabilityPlot;

// Which readings the page analyses.
enum class StabilitySpan { WholeMeasurement, GraphZoom };

// The "Stability" page: the chosen deviations of the readings against tau as a log-log plot with
// each point's confidence interval as a vertical bar, and the same points as a table, with a
// caption telling the noise type and the drift. Every reading feeds the running sums at once; the
// plot and table follow at most a few times a second and only while the page shows.
class StabilityPage : public Page {
    Q_OBJECT
public:
    // `graphSpan` tells the time span the "Graph" page shows (zoomed or not).
    explicit StabilityPage(std::function<TimeSpan()> graphSpan, QWidget* parent = nullptr);
    ~StabilityPage() override;

    QMenu* menu() const { return menu_; }
    QTableWidget* table() const { return table_; }
    QLabel* caption() const { return caption_; }
    StabilityPlot& plot() const { return *plot_; }

    // After a successful connect: no readings.
    void clear();
    // The reading at `timeMs` since the connect attempt; `gapBefore`: a gap of the recording
    // lies between it and the reading before.
    void addReading(double timeMs, double value, counter::Quantity quantity,
                    bool gapBefore = false);
    // A whole measurement read back, with its recorded gaps, in place of what the page held.
    void showMeasurement(std::span<const recording::MeasurementPoint> readings,
                         counter::Quantity quantity,
                         std::span<const recording::PlacedGap> gaps = {});

    // What the page shows, as last refreshed.
    const analysis::StabilityResult& shown() const { return shown_; }

signals:
    void connectToggleRequested();

protected:
    void layOut() override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenu();
    void choose(const std::function<void()>& change);
    void refreshSoon();
    void refresh();
    void showResult(double driftPerSecond);
    void copyTable();
    int neededTableWidth() const;
    analysis::StabilityOptions options() const;
    std::span<const analysis::Reading> spanReadings() const;

    std::function<TimeSpan()> graphSpan_;
    analysis::LiveStability live_;
    std::vector<analysis::Reading> readings_; // for the zoomed span and the drift
    std::vector<analysis::Deviation> kinds_{analysis::Deviation::Allan};
    analysis::TauSpacing spacing_ = analysis::TauSpacing::Octave;
    bool removeDrift_ = false;
    StabilitySpan span_ = StabilitySpan::WholeMeasurement;
    analysis::StabilityResult shown_;
    bool stale_ = false;

    StabilityPlot* plot_;
    QTableWidget* table_;
    QLabel* caption_;
    QMenu* menu_;
    QTimer* refreshTimer_;
};

} // namespace app
