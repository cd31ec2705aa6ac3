// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the stability analysis: all four deviations at octave taus from scratch, the live
// analyzer's update per reading, its read-out, and the memory it keeps; then the total family,
// each deviation alone several times and the four in one analysis; Theo1 and TheoBR timed over
// several runs and MTIE at its size, each stopped through its control once it has run well past
// its goal (MTIE's full time then estimated from the fraction done).
#include "analysis/live_stability.h"
#include "analysis/stability.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of all threads of the process: the work itself, which a machine busy with
// other programs stretches less than the wall time.
double processorMs() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

struct Timing {
    std::vector<double> wallMs;
    std::vector<double> cpuMs;

    template <typename Work> void measure(Work work) {
        const double cpuStart = processorMs();
        const auto start = Clock::now();
        work();
        wallMs.push_back(msSince(start));
        cpuMs.push_back(processorMs() - cpuStart);
    }
    void print(const char* what) {
        std::sort(wallMs.begin(), wallMs.end());
        std::sort(cpuMs.begin(), cpuMs.end());
        std::printf("%s median %.1f ms, best %.1f ms; processor time median %.1f ms\n", what,
                    wallMs[wallMs.size() / 2], wallMs.front(), cpuMs[cpuMs.size() / 2]);
    }
};

// Readings one second apart near 10 MHz: white phase noise on a random walk of the frequency,
// with an offset, like a counter on a free-running oscillator. As phase: the time error of the
// same oscillator against 10 MHz, as a time-interval counter reads it.
std::vector<analysis::Reading> makeReadings(std::size_t n, bool phase) {
    std::mt19937_64 generator(4711);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<analysis::Reading> readings(n);
    double walk = 0;
    double x = 0;
    for (std::size_t i = 0; i < n; ++i) {
        walk += 1e-4 * noise(generator);
        const double frequency = 1e7 + 12.0 + walk + 0.01 * noise(generator);
        const double timeMs = 1000.0 * static_cast<double>(i + 1);
        x += (frequency - 1e7) / 1e7;
        readings[i] = phase ? analysis::Reading{timeMs, x, analysis::Quantity::Phase}
                            : analysis::Reading{timeMs, frequency, analysis::Quantity::Frequency};
    }
    return readings;
}

// One from-scratch analysis of the options' kinds, stopped after capMs.
void timeCapped(const char* what, const std::vector<analysis::Reading>& readings,
                std::vector<analysis::Deviation> kinds, double goalMs, double capMs) {
    analysis::StabilityOptions options;
    options.kinds = std::move(kinds);
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    std::atomic<double> fraction{0};
    analysis::AnalysisControl control;
    control.cancel = &cancel;
    control.progress = [&](double f) { fraction = f; };
    const auto start = Clock::now();
    std::thread watchdog([&] {
        while (!done && msSince(start) < capMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        cancel = true;
    });
    const analysis::StabilityResult result = analysis::analyzeReadings(readings, options, control);
    const double ms = msSince(start);
    done = true;
    watchdog.join();
    if (!result.cancelled) {
        std::printf("%-58s %10.1f ms (goal %.0f ms), %zu points\n", what, ms, goalMs,
                    result.points.size());
        std::fflush(stdout);
        return;
    }
    const double f = fraction;
    if (f > 0) {
        std::printf("%-58s > %8.1f ms (goal %.0f ms): stopped at %.1f %%, whole about %.0f s\n",
                    what, ms, goalMs, 100 * f, ms / f / 1000);
    } else {
        std::printf("%-58s > %8.1f ms (goal %.0f ms): stopped before a thousandth was done\n", what,
                    ms, goalMs);
    }
    std::fflush(stdout);
}

// Several from-scratch analyses of the kinds, each stopped once it has run well past its goal:
// the median and best wall time and the median processor time of the runs.
void timeRuns(const char* what, const std::vector<analysis::Reading>& readings,
              std::vector<analysis::Deviation> kinds, double goalMs, int runs) {
    analysis::StabilityOptions options;
    options.kinds = std::move(kinds);
    Timing timing;
    analysis::StabilityResult result;
    for (int run = 0; run < runs && !result.cancelled; ++run) {
        std::atomic<bool> cancel{false};
        std::atomic<bool> done{false};
        analysis::AnalysisControl control;
        control.cancel = &cancel;
        const auto start = Clock::now();
        std::thread watchdog([&] {
            while (!done && msSince(start) < 10 * goalMs) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            cancel = true;
        });
        timing.measure([&] { result = analysis::analyzeReadings(readings, options, control); });
        done = true;
        watchdog.join();
    }
    if (result.cancelled) {
        std::printf("%-58s > %8.1f ms (goal %.0f ms): stopped\n", what, 10 * goalMs, goalMs);
    } else {
        char label[160];
        std::snprintf(label, sizeof label, "%s %zu points, %d runs (goal %.0f ms):", what,
                      result.points.size(), runs, goalMs);
        timing.print(label);
    }
    std::fflush(stdout);
}

// The total family on the user's path: each deviation alone, as the page or `talvek-cli
// stability --deviations` asks for it, several times (median and best wall time, median
// processor time of all threads), and the four in one analysis, where TTOTDEV takes MTOTDEV's
// sums. The goal is for the four.
void timeTotalFamily(const std::vector<analysis::Reading>& readings) {
    using analysis::Deviation;
    constexpr int kRuns = 5;
    const std::pair<const char*, std::vector<Deviation>> alone[] = {
        {"TOTDEV", {Deviation::Total}},
        {"MTOTDEV", {Deviation::ModifiedTotal}},
        {"TTOTDEV", {Deviation::TimeTotal}},
        {"HTOTDEV", {Deviation::HadamardTotal}}};
    std::printf("total family, %zu readings, octave taus, %d runs each (wall median, best; "
                "processor median):\n",
                readings.size(), kRuns);
    const auto run = [&](const char* what, const std::vector<Deviation>& kinds) {
        analysis::StabilityOptions options;
        options.kinds = kinds;
        Timing timing;
        std::size_t points = 0;
        for (int i = 0; i < kRuns; ++i) {
            timing.measure(
                [&] { points = analysis::analyzeReadings(readings, options).points.size(); });
        }
        std::sort(timing.wallMs.begin(), timing.wallMs.end());
        std::sort(timing.cpuMs.begin(), timing.cpuMs.end());
        std::printf("  %-40s %8.1f ms, %8.1f ms; %8.1f ms (%zu points)\n", what,
                    timing.wallMs[kRuns / 2], timing.wallMs.front(), timing.cpuMs[kRuns / 2],
                    points);
        std::fflush(stdout);
        return std::pair{timing.wallMs[kRuns / 2], timing.cpuMs[kRuns / 2]};
    };
    double wall = 0;
    double processor = 0;
    for (const auto& [what, kinds] : alone) {
        const auto [w, p] = run(what, kinds);
        wall += w;
        processor += p;
    }
    std::printf("  %-40s %8.1f ms (goal 2000 ms); processor %.1f ms\n",
                "the four, each alone:", wall, processor);
    run("the four in one analysis:", {Deviation::Total, Deviation::ModifiedTotal,
                                      Deviation::TimeTotal, Deviation::HadamardTotal});
}

void timeExtended(const std::vector<analysis::Reading>& readings, std::size_t theoShort,
                  std::size_t theoLong) {
    using analysis::Deviation;
    const std::vector<analysis::Reading> shortRun(
        readings.begin(),
        readings.begin() + static_cast<std::ptrdiff_t>(std::min(theoShort, readings.size())));
    const std::vector<analysis::Reading> longRun(
        readings.begin(),
        readings.begin() + static_cast<std::ptrdiff_t>(std::min(theoLong, readings.size())));
    char what[128];
    timeTotalFamily(readings);
    std::snprintf(what, sizeof what, "Theo1, %zu readings, octave taus,", shortRun.size());
    timeRuns(what, shortRun, {Deviation::Theo1}, 1000, 5);
    std::snprintf(what, sizeof what, "TheoBR, %zu readings, octave taus,", longRun.size());
    timeRuns(what, longRun, {Deviation::TheoBR}, 15000, 3);
    std::snprintf(what, sizeof what, "MTIE, %zu readings, octave taus:", readings.size());
    timeCapped(what, readings, {Deviation::Mtie}, 1000, 20000);
}

void printUsage() {
    std::printf("usage: stability_bench [--phase] [READINGS]\n"
                "  Times the stability analysis over READINGS readings (default 2400000):\n"
                "  ADEV, MDEV, HDEV and TDEV at octave taus from scratch (goal < 150 ms),\n"
                "  the live analyzer's update per reading (goal < 50 us) and read-out,\n"
                "  and the memory the live analyzer keeps; then TOTDEV, MTOTDEV, TTOTDEV and\n"
                "  HTOTDEV, each alone five times and the four in one analysis (together\n"
                "  < 2 s), and MTIE (< 1 s) over the same readings, Theo1\n"
                "  over the first 100000 (< 1 s) and TheoBR over the first 1000000 (< 15 s),\n"
                "  each stopped once it has run well past its goal.\n"
                "  --phase: the readings are phase (time error in s) instead of frequency.\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printUsage();
        return 0;
    }
    const bool phase = argc > 1 && std::strcmp(argv[1], "--phase") == 0;
    const int countArgument = phase ? 2 : 1;
    const long requested = argc > countArgument ? std::atol(argv[countArgument]) : 2'400'000;
    if (requested < 1) {
        printUsage();
        return 1;
    }
    const auto n = static_cast<std::size_t>(requested);
    const std::vector<analysis::Reading> readings = makeReadings(n, phase);

    analysis::StabilityOptions identified;
    analysis::StabilityOptions forced;
    forced.forcedAlpha = 0;
    constexpr int kRuns = 5;
    Timing identifiedTiming;
    Timing forcedTiming;
    analysis::StabilityResult scratch;
    for (int run = 0; run < kRuns; ++run) {
        identifiedTiming.measure(
            [&] { scratch = analysis::analyzeReadings(readings, identified); });
        forcedTiming.measure([&] { analysis::analyzeReadings(readings, forced); });
    }

    analysis::LiveStability live;
    std::vector<float> addUs;
    addUs.reserve(n);
    const auto liveStart = Clock::now();
    for (const analysis::Reading& reading : readings) {
        const auto start = Clock::now();
        live.add(reading.timeMs, reading.value, reading.quantity);
        addUs.push_back(std::chrono::duration<float, std::micro>(Clock::now() - start).count());
    }
    const double liveTotalMs = msSince(liveStart);
    std::sort(addUs.begin(), addUs.end());
    const auto addPercentile = [&](double p) {
        return addUs[static_cast<std::size_t>(p * static_cast<double>(n - 1))];
    };
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

    std::printf("readings:                      %zu%s, %zu octave taus, %zu points\n", n,
                phase ? " phase" : "", taus, scratch.points.size());
    identifiedTiming.print("from scratch, noise identified (goal < 150 ms):");
    forcedTiming.print("from scratch, alpha given:                      ");
    std::printf("live add per reading (goal < 50 us): mean %.3f us, 99.9 %% %.1f us, 99.99 %% "
                "%.1f us, slowest %.1f us\n",
                1000.0 * liveTotalMs / static_cast<double>(n), addPercentile(0.999),
                addPercentile(0.9999), addUs.back());
    std::printf("live read-out:                  %.1f ms (noise identified), %.2f ms (alpha "
                "given)\n",
                readoutMs, forcedReadoutMs);
    std::printf("live memory:                    running sums %zu bytes, all %.1f MB (%.1f bytes "
                "per reading)\n",
                live.runningSumBytes(), static_cast<double>(live.memoryBytes()) / 1e6,
                static_cast<double>(live.memoryBytes()) / static_cast<double>(n));
    std::printf("live equals from scratch:       %s\n", same ? "yes" : "NO");
    std::fflush(stdout);
    timeExtended(readings, 100'000, 1'000'000);
    return same ? 0 : 1;
}
