// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace bench {

// What a series of timings says, in the unit of the timings.
struct TimingSummary {
    double mean = 0;
    double median = 0;
    double p99 = 0; // the 99th percentile, nearest rank
    double max = 0;
};

TimingSummary summarize(std::vector<double> timings);

} // namespace bench
