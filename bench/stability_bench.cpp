// Cost of the stability analysis: all four deviations at octave taus from scratch, the live
// analyzer's update per reading, its read-out, and the memory it keeps.
#include "analysis/live_stability.h"
#include "analysis/stability.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Readings one second apart near 10 MHz: white phase noise on a random walk of the frequency,
// with an offset, like a counter on a free-running oscillator.
std::vector<analysis::Reading> makeReadings(std::size_t n) {
    std::mt19937_64 generator(4711);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<analysis::Reading> readings(n);
    double walk = 0;
    for (std::size_t i = 0; i < n; ++i) {
        walk += 1e-4 * noise(generator);
        readings[i] = {1000.0 * static_cast<double>(i + 1),
                       1e7 + 12.0 + walk + 0.01 * noise(generator), false};
    }
    return readings;
}

void printUsage() {
    std::printf("usage: stability_bench [READINGS]\n"
                "  Times the stability analysis over READINGS readings (default 2400000):\n"
                "  ADEV, MDEV, HDEV and TDEV at octave taus from scratch (goal < 150 ms),\n"
                "  the live analyzer's update per reading (goal < 50 us) and read-out,\n"
                "  and the memory the live analyzer keeps.\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printUsage();
        return 0;
    }
    const long requested = argc > 1 ? std::atol(argv[1]) : 2'400'000;
    if (requested < 1) {
        printUsage();
        return 1;
    }
    const auto n = static_cast<std::size_t>(requested);
    const std::vector<analysis::Reading> readings = makeReadings(n);

    analysis::StabilityOptions identified;
    analysis::StabilityOptions forced;
    forced.forcedAlpha = 0;
    constexpr int kRuns = 5;
    std::vector<double> scratchMs;
    std::vector<double> forcedMs;
    analysis::StabilityResult scratch;
    for (int run = 0; run < kRuns; ++run) {
        auto start = Clock::now();
        scratch = analysis::analyzeReadings(readings, identified);
        scratchMs.push_back(msSince(start));
        start = Clock::now();
        analysis::analyzeReadings(readings, forced);
        forcedMs.push_back(msSince(start));
    }
    std::sort(scratchMs.begin(), scratchMs.end());
    std::sort(forcedMs.begin(), forcedMs.end());

    analysis::LiveStability live;
    double slowestAddUs = 0;
    const auto liveStart = Clock::now();
    for (const analysis::Reading& reading : readings) {
        const auto start = Clock::now();
        live.add(reading.timeMs, reading.value, reading.isPeriod);
        slowestAddUs = std::max(
            slowestAddUs, std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    const double liveTotalMs = msSince(liveStart);
    auto start = Clock::now();
    const analysis::StabilityResult liveResult = live.result(identified);
    const double readoutMs = msSince(start);
    start = Clock::now();
    live.result(forced);
    const double forcedReadoutMs = msSince(start);

    bool same = liveResult.points.size() == scratch.points.size();
    for (std::size_t i = 0; same && i < scratch.points.size(); ++i) {
        same = liveResult.points[i].value == scratch.points[i].value &&
               liveResult.points[i].upper == scratch.points[i].upper;
    }
    const std::size_t taus = scratch.points.size() / 4;

    std::printf("readings:                      %zu, %zu octave taus, %zu points\n", n, taus,
                scratch.points.size());
    std::printf("from scratch, noise identified: median %.1f ms, best %.1f ms (goal < 150 ms)\n",
                scratchMs[kRuns / 2], scratchMs.front());
    std::printf("from scratch, alpha given:      median %.1f ms, best %.1f ms\n",
                forcedMs[kRuns / 2], forcedMs.front());
    std::printf("live add, mean per reading:     %.3f us (goal < 50 us), slowest %.1f us\n",
                1000.0 * liveTotalMs / static_cast<double>(n), slowestAddUs);
    std::printf("live read-out:                  %.1f ms (noise identified), %.2f ms (alpha "
                "given)\n",
                readoutMs, forcedReadoutMs);
    std::printf("live memory:                    running sums %zu bytes, all %.1f MB (%.1f bytes "
                "per reading)\n",
                live.runningSumBytes(), static_cast<double>(live.memoryBytes()) / 1e6,
                static_cast<double>(live.memoryBytes()) / static_cast<double>(n));
    std::printf("live equals from scratch:       %s\n", same ? "yes" : "NO");
    return same ? 0 : 1;
}
