// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one reading in the dynamic Allan deviation, at run lengths a hundredfold apart: with
// the default window (a tenth of the run, 100 steps), whose factors grow with the window, and
// with a fixed window of 1000 readings moved by 10, whose cost must not grow at all.
#include "analysis/dynamic_allan.h"
#include "bench/bench_options.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Frequency readings one second apart near 10 MHz: white noise on a random walk.
std::vector<double> makeFrequencies(std::size_t n) {
    std::mt19937_64 random(4711);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<double> values(n);
    double walk = 0;
    for (double& value : values) {
        walk += 1e-4 * noise(random);
        value = 1e7 + 12.0 + walk + 0.01 * noise(random);
    }
    return values;
}

struct Cost {
    double nsPerReading = 0;
    double nsPerReadingLastTenth = 0; // the readings of the last tenth of the run alone
    std::size_t factors = 0;
};

Cost measure(const std::vector<double>& values, std::size_t window, std::size_t step) {
    std::vector<double> all;
    std::vector<double> last;
    std::size_t factors = 0;
    for (int run = 0; run < 5; ++run) {
        analysis::DynamicAllan dynamic(window, step);
        const std::size_t tail = values.size() - values.size() / 10;
        const auto start = Clock::now();
        auto tailStart = start;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i == tail) {
                tailStart = Clock::now();
            }
            dynamic.add(1000.0 * static_cast<double>(i + 1), values[i]);
        }
        const auto end = Clock::now();
        all.push_back(std::chrono::duration<double, std::nano>(end - start).count() /
                      static_cast<double>(values.size()));
        last.push_back(std::chrono::duration<double, std::nano>(end - tailStart).count() /
                       static_cast<double>(values.size() - tail));
        factors = dynamic.columns().empty() ? 0 : dynamic.columns().back().points.size();
    }
    std::sort(all.begin(), all.end());
    std::sort(last.begin(), last.end());
    return {all[all.size() / 2], last[last.size() / 2], factors};
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {.name = "dynamic_allan_bench",
         .what = "Cost per reading of the dynamic Allan deviation (median of 5 runs) at each run\n"
                 "length: the default window (a tenth of the run, 100 steps) and a fixed one.",
         .defaultPoints = 0,
         .drawsSignal = false,
         .pointsTable = {10'000, 100'000, 1'000'000}});
    for (const long count : options.pointCounts) {
        const auto n = static_cast<std::size_t>(count);
        const std::vector<double> values = makeFrequencies(n);
        const std::size_t window = std::max<std::size_t>(2, n / 10);
        const Cost byDefault =
            measure(values, window, std::max<std::size_t>(1, (n - window) / 100));
        std::printf(
            "%8zu readings, window %zu, %zu taus: %.0f ns per reading (last tenth %.0f ns), "
            "%.1f ns per reading and tau\n",
            n, window, byDefault.factors, byDefault.nsPerReading, byDefault.nsPerReadingLastTenth,
            byDefault.nsPerReading / static_cast<double>(byDefault.factors));
        const Cost fixed = measure(values, 1000, 10);
        std::printf(
            "%8zu readings, window 1000, %zu taus: %.0f ns per reading (last tenth %.0f ns)\n", n,
            fixed.factors, fixed.nsPerReading, fixed.nsPerReadingLastTenth);
    }
    return 0;
}
