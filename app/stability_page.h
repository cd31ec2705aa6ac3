// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/live_stability.h"
#include "analysis/stability.h"
#include "app/column_fit.h"
#include "app/page.h"
#include "app/stability_worker.h"
#include "app/time_span.h"
#include "graph/stability_curves.h"
#include "recording/reading_store.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QLabel;
class QMenu;
class QTableWidget;
class QTimer;

namespace app {

class RunList;
class StabilityPlot;

// Which readings the page analyses.
enum class StabilitySpan { WholeMeasurement, GraphZoom };

// The "Stability" page: the chosen deviations of the readings against tau as log-log plots, one
// for the fractional deviations and one for those in seconds, each point with its confidence
// interval as a vertical bar and a legend naming the curves; beside them the same points as a
// table with their unit, and a caption telling the noise type and the drift.
//
// The page reads the readings of a store of readings, of which it keeps nothing per reading: every
// reading feeds the running sums at once. The analysis itself (noise identification, drift, the
// costly estimators) runs on a worker thread, at most a few times a second and only while the
// page shows, on a copy of the running sums and a snapshot of the store, so readings go on feeding
// the sums meanwhile; a change of the choices, the span or the measurement cancels it. A progress
// line tells how far a long one is. The running sums of many readings at once (a measurement read
// back) are formed by the first analysis on the worker, which hands them over with its result.
class StabilityPage : public Page {
    Q_OBJECT
public:
    // `graphSpan` tells the time span the "Graph" page shows (zoomed or not).
    explicit StabilityPage(std::function<TimeSpan()> graphSpan, QWidget* parent = nullptr);
    ~StabilityPage() override;

    QMenu* menu() const { return menu_; }
    QTableWidget* table() const { return table_; }
    QLabel* caption() const { return caption_; }
    // The progress line while a long analysis runs, empty otherwise.
    QString progressText() const { return progressText_; }
    // The plot of the fractional deviations and the one of those in seconds; a plot without a
    // deviation chosen for it is hidden.
    StabilityPlot& fractionalPlot() const { return *fractionalPlot_; }
    StabilityPlot& secondsPlot() const { return *secondsPlot_; }

    // The runs held beside the page's own readings: where there are several, it overlays the
    // curves of each visible one in its colour, names them in the legend, and the table and its
    // copy gain a run column. The others are analysed on their whole measurement each.
    void useRuns(RunList& runs);

    // From now on the readings of this store, live or read back, in place of what the page held.
    void follow(std::shared_ptr<const recording::ReadingTable> readings);
    // The store has gained readings.
    void readingsAdded();

    // What the page shows, as last refreshed.
    const analysis::StabilityResult& shown() const { return ownResult_; }
    // The runs shown, each with its results.
    const std::vector<graph::StabilityRun>& shownRuns() const { return runs_; }
    // Whether that is the analysis of every reading with the current choices.
    bool upToDate() const;
    // Analyses started so far: a hidden page starts none.
    int analysesStarted() const { return analysesStarted_; }

signals:
    void connectToggleRequested();
    // A new result shows.
    void resultShown();

protected:
    void layOut() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildMenu();
    void choose(const std::function<void()>& change);
    void refreshSoon();
    void refresh();
    void restart();
    void startAnalysis();
    void analysisFinished(StabilityOutcome outcome);
    // The running sums take the readings the store has gained, unless they are so many that the
    // next analysis forms them on the worker.
    void catchUp();
    void showResult();
    void showProgress();
    void copyTable();
    // The runs the plots and the table show: the page's own readings first, where shown.
    void gatherRuns();
    void analyseNextRun();
    void runAnalysed(StabilityOutcome outcome);
    int neededTableWidth() const;
    void paintEvent(QPaintEvent* event) override;
    void placeCaptionLine();
    analysis::StabilityOptions options() const;
    // The readings [first, last) that lie in the span; the readings come in time order.
    std::pair<std::size_t, std::size_t> spanReadings(const TimeSpan& shown) const;

    std::function<TimeSpan()> graphSpan_;
    std::shared_ptr<const recording::ReadingTable> readings_;
    std::uint64_t readingsGeneration_ = 0; // counts the stores followed
    analysis::LiveStability live_;         // has followed readings_, or some of them

    std::vector<analysis::Deviation> kinds_{analysis::Deviation::Allan};
    analysis::TauSpacing spacing_ = analysis::TauSpacing::Octave;
    bool removeDrift_ = false;
    bool biasCorrected_ = false;
    StabilitySpan span_ = StabilitySpan::WholeMeasurement;

    std::vector<graph::StabilityRun> runs_{graph::StabilityRun{}};
    // The other runs' results, each for the choices of its generation.
    struct RunResult {
        const recording::ReadingTable* readings = nullptr;
        std::uint64_t choices = 0;
        analysis::StabilityResult result;
    };
    RunList* runList_ = nullptr;
    analysis::StabilityResult ownResult_;
    std::vector<RunResult> runResults_;
    std::uint64_t choicesGeneration_ = 0;
    const recording::ReadingTable* runAnalysed_ = nullptr; // the run the other worker analyses
    analysis::SpanStatistics statistics_;
    bool stale_ = true;       // readings or a change not analysed yet
    bool restartDue_ = false; // start again as soon as the running analysis returns
    bool dropResult_ = false; // the running analysis is of an input gone
    int analysesStarted_ = 0;

    StabilityPlot* fractionalPlot_;
    StabilityPlot* secondsPlot_;
    QTableWidget* table_;
    QLabel* caption_;
    // Drawn by the page itself at the caption line's right end: showing and hiding a control of
    // its own cost the main thread a quarter of a millisecond per analysis.
    QString progressText_;
    QRect progressPlace_;
    int captionLineHeight_ = 0;
    int progressWidth_ = 0;
    QMenu* menu_;
    QTimer* refreshTimer_;
    QTimer* progressTimer_;
    ColumnFit columnFit_;
    StabilityWorker worker_;
    StabilityWorker runWorker_;
};

} // namespace app
