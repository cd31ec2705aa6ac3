// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace analysis {

// How a caller follows and stops a long analysis, for a page that runs it off its main thread or a
// command line that shows a progress line. The analysis reads cancel now and then and, once it is
// set, returns early with StabilityResult::cancelled true and whatever points it has. progress gets
// the fraction of the estimated work done, 0 .. 1, rising, in steps of a thousandth at the finest;
// it is called on the analysing threads, one call at a time, so it must only hand the number on
// (store it in an atomic, post it to the main thread).
//
// A page keeps the readings it analyses (a copy, or a LiveStability it no longer adds to while the
// analysis runs), starts analyzeReadings(readings, options, control) or LiveStability::result(
// options, control) on a worker thread with control.cancel pointing at an atomic it owns, sets
// that atomic when the input or the options change, and drops a result whose cancelled is true;
// the estimators check the flag at least once per factor and per million steps or so, so a cancel
// takes effect within some tens of milliseconds. The ADEV, MDEV, HDEV and TDEV of a LiveStability
// come from its running sums and need no worker.
struct AnalysisControl {
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(double fraction)> progress;
};

// The work of one analysis as the estimators report it, in elementary steps.
class WorkMeter {
public:
    WorkMeter(const AnalysisControl& control, std::uint64_t total);

    bool cancelled() const { return control_.cancel != nullptr && control_.cancel->load(); }
    // Thread-safe.
    void add(std::uint64_t steps);

private:
    const AnalysisControl& control_;
    std::uint64_t total_;
    std::atomic<std::uint64_t> done_{0};
    static constexpr std::uint64_t kSteps = 1000;
    std::atomic<int> shownStep_{0}; // the first report comes at a thousandth
    std::atomic_flag calling_ = ATOMIC_FLAG_INIT;
};

} // namespace analysis
