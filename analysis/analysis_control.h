// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace analysis {

// How a caller follows and stops a long analysis, for a page that runs it off its main thread or a
// command line that shows a progress line. The analysis reads cancel now and then (at least every
// few milliseconds of work) and, once it is set, returns early with StabilityResult::cancelled
// true and whatever points it has. progress gets the fraction of the estimated work done,
// 0 .. 1, rising, in steps of a thousandth at the finest; it is called on the analysing
// threads, one call at a time, so it must only hand the number on (store it in an atomic, post
// it to the main thread).
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
    std::atomic<int> shownStep_{-1};
    std::atomic_flag calling_ = ATOMIC_FLAG_INIT;
};

} // namespace analysis
