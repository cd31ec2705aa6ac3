// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/analysis_control.h"

#include <algorithm>

namespace analysis {

WorkMeter::WorkMeter(const AnalysisControl& control, std::uint64_t total)
    : control_(control), total_(std::max<std::uint64_t>(1, total)) {}

void WorkMeter::add(std::uint64_t steps) {
    const std::uint64_t done = done_.fetch_add(steps) + steps;
    if (!control_.progress) {
        return;
    }
    const auto step = static_cast<int>(std::min<std::uint64_t>(
        kSteps, static_cast<std::uint64_t>(static_cast<double>(done) / static_cast<double>(total_) *
                                           kSteps)));
    int shown = shownStep_.load();
    // One caller per new step; a report that finds another one under way is dropped.
    while (step > shown && !shownStep_.compare_exchange_weak(shown, step)) {
    }
    if (step > shown && !calling_.test_and_set()) {
        control_.progress(std::min(1.0, static_cast<double>(done) / static_cast<double>(total_)));
        calling_.clear();
    }
}

} // namespace analysis
