// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <random>
#include <string>
#include <vector>

// What every benchmark takes from its command line: --help, the number of points and, where it
// draws readings, their signal. Benchmarks run on the offscreen platform unless QT_QPA_PLATFORM
// names another.
namespace bench {

enum class Signal {
    Drift,      // 10 MHz drifting slowly, with a little noise: the y range moves all the time
    WhiteNoise, // 10 MHz with white noise only
};

struct Options {
    long points = 0;
    // Where the bench runs a table of sizes: the table, or the one size --points asked for.
    std::vector<long> pointCounts;
    Signal signal = Signal::Drift;
    // The benches that read or make a journal: the one --journal FILE names, and whether its
    // readings came flooded (--flooded).
    std::string journal;
    bool flooded = false;
};

struct Usage {
    const char* name;
    const char* what;   // one or more lines on what it measures
    long defaultPoints; // 0: the bench takes no number of points, or runs `pointsTable`
    bool drawsSignal;
    // The sizes a bench runs one after the other; --points N runs N alone instead.
    std::vector<long> pointsTable = {};
    // Takes --journal FILE and --flooded, and what it does with them.
    const char* journalText = nullptr;
};

// Answers --help (and exits), refuses what it does not know (and exits), and sets the platform.
// Must come before the application object.
Options parseOptions(int argc, char** argv, const Usage& usage);

// Readings of the chosen signal, the same sequence on every run, each as a counter sends it: in
// hertz to the millihertz (eleven digits at 10 MHz), the number its text reads as.
class SignalSource {
public:
    explicit SignalSource(Signal signal);
    double next();

private:
    Signal signal_;
    std::mt19937_64 random_{2026};
    std::normal_distribution<double> noise_{0.0, 0.05};
    double drift_ = 0;
};

} // namespace bench
