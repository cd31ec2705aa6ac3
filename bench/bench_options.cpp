// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/bench_options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {
namespace {

bool takesPoints(const Usage& usage) {
    return usage.defaultPoints > 0 || !usage.pointsTable.empty();
}

[[noreturn]] void printUsage(const Usage& usage, int status) {
    std::FILE* out = status == 0 ? stdout : stderr;
    std::fprintf(out, "usage: %s [--help]", usage.name);
    if (takesPoints(usage)) {
        std::fprintf(out, " [--points N]");
    }
    if (usage.drawsSignal) {
        std::fprintf(out, " [--signal drift|noise]");
    }
    if (usage.journalText != nullptr) {
        std::fprintf(out, " [--journal FILE] [--flooded]");
    }
    std::fprintf(out, "\n%s\n", usage.what);
    if (usage.defaultPoints > 0) {
        std::fprintf(out, "  --points N   number of points (default %ld)\n", usage.defaultPoints);
    } else if (!usage.pointsTable.empty()) {
        std::fprintf(out, "  --points N   N points alone instead of the table of");
        for (const long count : usage.pointsTable) {
            std::fprintf(out, " %ld", count);
        }
        std::fprintf(out, "\n");
    }
    if (usage.drawsSignal) {
        std::fprintf(out, "  --signal S   drift (default): 10 MHz drifting with a little noise;\n"
                          "               noise: 10 MHz with white noise; in Hz to the mHz\n");
    }
    if (usage.journalText != nullptr) {
        std::fprintf(out, "%s\n", usage.journalText);
    }
    std::fprintf(out, "Runs on the offscreen platform unless QT_QPA_PLATFORM names another.\n");
    std::exit(status);
}

} // namespace

Options parseOptions(int argc, char** argv, const Usage& usage) {
    Options options;
    options.points = usage.defaultPoints;
    options.pointCounts = usage.pointsTable;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            printUsage(usage, 0);
        } else if (takesPoints(usage) && std::strcmp(arg, "--points") == 0 && hasValue) {
            options.points = std::atol(argv[++i]);
            if (options.points <= 0) {
                printUsage(usage, 2);
            }
            if (!usage.pointsTable.empty()) {
                options.pointCounts = {options.points};
            }
        } else if (usage.drawsSignal && std::strcmp(arg, "--signal") == 0 && hasValue) {
            const char* name = argv[++i];
            if (std::strcmp(name, "drift") == 0) {
                options.signal = Signal::Drift;
            } else if (std::strcmp(name, "noise") == 0) {
                options.signal = Signal::WhiteNoise;
            } else {
                printUsage(usage, 2);
            }
        } else if (usage.journalText != nullptr && std::strcmp(arg, "--journal") == 0 && hasValue) {
            options.journal = argv[++i];
        } else if (usage.journalText != nullptr && std::strcmp(arg, "--flooded") == 0) {
            options.flooded = true;
        } else {
            printUsage(usage, 2);
        }
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return options;
}

SignalSource::SignalSource(Signal signal) : signal_(signal) {}

double SignalSource::next() {
    if (signal_ == Signal::Drift) {
        drift_ += 0.001 + noise_(random_) * 0.02;
    }
    const double hz = 10e6 + (signal_ == Signal::Drift ? drift_ : 0) + noise_(random_);
    // Whole millihertz over an exact power of ten: what reading "10000000.012" gives.
    return std::nearbyint(hz * 1e3) / 1e3;
}

} // namespace bench
