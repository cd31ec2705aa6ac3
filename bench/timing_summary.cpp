// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/timing_summary.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace bench {

TimingSummary summarize(std::vector<double> timings) {
    if (timings.empty()) {
        return {};
    }
    std::sort(timings.begin(), timings.end());
    const std::size_t count = timings.size();
    const auto rank = [&](double share) {
        const auto nearest =
            static_cast<std::size_t>(std::ceil(share * static_cast<double>(count)));
        return timings[std::clamp<std::size_t>(nearest, 1, count) - 1];
    };
    return {.mean =
                std::accumulate(timings.begin(), timings.end(), 0.0) / static_cast<double>(count),
            .median = rank(0.5),
            .p99 = rank(0.99),
            .max = timings.back()};
}

} // namespace bench
