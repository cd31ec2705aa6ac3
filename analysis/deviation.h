// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace analysis {

// The estimators. Every switch over them is exhaustive, so adding one makes the compiler name each
// place that has to handle it; deviationDescription() says what each one is.
enum class Deviation {
    Allan,         // overlapping Allan deviation
    ModifiedAllan, // modified Allan deviation
    Hadamard,      // overlapping Hadamard deviation
    Time,          // time deviation
    Total,         // total deviation, doubly reflected phase
    ModifiedTotal, // modified total deviation
    TimeTotal,     // time total deviation
    HadamardTotal, // Hadamard total deviation
    Theo1,         // Theo1 at tau = 0.75 m tau0, m even
    TheoBR,        // Theo1 with its bias to the Allan deviation removed
    TheoH,         // the Allan deviation up to a tenth of the run, TheoBR beyond
    Mtie,          // maximum time interval error
    TieRms,        // rms of the time interval error
};

// Averaging factors m, tau = m tau0: 1, 2, 4, 8, ... or 1, 2, 5, 10, 20, 50, ...
enum class TauSpacing { Octave, OneTwoFive };

// What a deviation's values are: fractional frequency, or seconds.
enum class DeviationUnit { Fractional, Seconds };

// One deviation as the window, talvek-cli and the tables present it.
struct DeviationDescription {
    Deviation kind;
    std::string_view name;      // "TOTDEV"
    std::string_view shortName; // the CSV name, "totdev"
    std::string_view caption;   // "Total deviation (TOTDEV)", the title of its table
    DeviationUnit unit;
    std::string_view estimator;  // one line on how it is formed
    std::string_view confidence; // where its degrees of freedom come from, or why there are none
};

const DeviationDescription& deviationDescription(Deviation kind);
// Every deviation, in the order of the enum.
std::span<const Deviation> allDeviations();

// Short names for machine-readable output: "adev", "mdev", "hdev", "tdev", "totdev", "mtotdev",
// "ttotdev", "htotdev", "theo1", "theobr", "theoh", "mtie", "tierms".
std::string_view shortName(Deviation kind);
std::optional<Deviation> deviationFromShortName(std::string_view name);

// One deviation at one averaging time. Every field is a finite number.
struct DeviationPoint {
    double tau = 0; // averaging time in s (Theo1, TheoBR and TheoH beyond ADEV: 0.75 m tau0)
    Deviation kind = Deviation::Allan;
    std::int64_t terms = 0; // terms of the sum behind value, at least 1
    double value = 0;       // in the kind's unit
    double lower = 0;       // bounds of the confidence interval; both equal value without one
    double upper = 0;
    int alpha = 0;  // noise type S_y ~ f^alpha identified (or forced) at this tau
    double edf = 0; // equivalent degrees of freedom behind the interval, 0 without one
    bool hasInterval = false;
};

} // namespace analysis
