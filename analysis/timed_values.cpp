// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/timed_values.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

void TimedValues::add(double time, double value, bool isPeriod) {
    if (!std::isfinite(time)) {
        return;
    }
    timeMs.push_back(time);
    frequency.push_back(usableFrequency(value, isPeriod));
}

double usableFrequency(double value, bool isPeriod) {
    const double f = isPeriod ? 1.0 / value : value;
    return std::isfinite(f) && f > 0 ? f : std::numeric_limits<double>::quiet_NaN();
}

double chosenNominal(std::optional<double> given, double mean) {
    return given && std::isfinite(*given) && *given > 0 ? *given : mean;
}

double medianIntervalMs(const std::vector<double>& timeMs) {
    std::vector<double> intervals;
    intervals.reserve(timeMs.size());
    for (std::size_t i = 1; i < timeMs.size(); ++i) {
        const double dt = timeMs[i] - timeMs[i - 1];
        if (dt > 0) {
            intervals.push_back(dt);
        }
    }
    if (intervals.empty()) {
        return 0;
    }
    const auto middle = intervals.begin() + static_cast<std::ptrdiff_t>((intervals.size() - 1) / 2);
    std::nth_element(intervals.begin(), middle, intervals.end());
    return *middle;
}

std::vector<char> gapsBefore(const std::vector<double>& timeMs, double tau0Ms) {
    std::vector<char> gaps(timeMs.size(), 0);
    for (std::size_t i = 1; i < timeMs.size(); ++i) {
        gaps[i] = isGap(timeMs[i] - timeMs[i - 1], tau0Ms) ? 1 : 0;
    }
    return gaps;
}

} // namespace analysis
