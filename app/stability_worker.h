// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/analysis_control.h"
#include "analysis/live_stability.h"
#include "analysis/span_statistics.h"
#include "analysis/stability.h"

#include <QElapsedTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class QObject;

namespace app {

// What one analysis of the page gives: the points and the statistics of the same readings, and
// the running sums it formed of readings the page had not taken yet, for the store of that
// generation.
struct StabilityOutcome {
    analysis::StabilityResult result;
    analysis::SpanStatistics statistics;
    std::optional<analysis::LiveStability> caughtUp;
    std::uint64_t readingsGeneration = 0;
    // The processor time the process used while the analysis ran, its own threads' and whatever
    // ran beside it: never less than the analysis took, however busy the machine was.
    double processorMs = 0;
};

// Runs one analysis at a time on a thread of its own, so the event loop never waits for it, and
// hands the outcome to `finished` on the thread of `context` (the main thread) through its event
// loop. The analysis may read whatever the main thread leaves untouched until `finished` runs.
// Destroying the worker cancels a running analysis and waits for it to return, which takes some
// tens of milliseconds at most.
//
// `progressed` runs on the same thread when the share of the work done has risen by a whole per
// cent, no sooner than `progressEveryMs` after the start or after its last run: the main thread
// is woken only when there is something new to show.
class StabilityWorker {
public:
    using Analysis = std::function<StabilityOutcome(const analysis::AnalysisControl&)>;

    StabilityWorker(QObject* context, std::function<void(StabilityOutcome)> finished,
                    std::function<void()> progressed = {}, int progressEveryMs = 0);
    ~StabilityWorker();
    StabilityWorker(const StabilityWorker&) = delete;
    StabilityWorker& operator=(const StabilityWorker&) = delete;

    // Only while none is running.
    void start(Analysis analysis);
    // The running analysis returns early; `finished` still comes, with cancelled set.
    void cancel();
    bool running() const { return running_; }
    // Of the running analysis: the share of its work done, 0 .. 1.
    double progress() const { return progress_.load(); }

private:
    // On the analysing threads.
    void noteProgress(double done);

    QObject* context_;
    std::function<void(StabilityOutcome)> finished_;
    std::function<void()> progressed_;
    int progressEveryMs_;
    std::atomic<bool> cancel_{false};
    std::atomic<double> progress_{0};
    std::atomic<int> toldPercent_{0};
    std::atomic<qint64> nextTellMs_{0};
    bool running_ = false;
    // The outcome passes through it: the event queue's own locks are out of a thread checker's
    // sight, and all the worker read must be seen as done before the page touches it again.
    std::mutex handOver_;
    QElapsedTimer clock_;
    std::thread thread_;
};

} // namespace app
