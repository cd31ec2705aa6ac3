// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace analysis {

// The estimators: overlapping Allan, modified Allan, overlapping Hadamard (all dimensionless,
// of fractional frequency) and the time deviation (in seconds).
enum class Deviation { Allan, ModifiedAllan, Hadamard, Time };

// Averaging factors m, tau = m tau0: 1, 2, 4, 8, ... or 1, 2, 5, 10, 20, 50, ...
enum class TauSpacing { Octave, OneTwoFive };

// Short names for machine-readable output: "adev", "mdev", "hdev", "tdev".
std::string_view shortName(Deviation kind);
std::optional<Deviation> deviationFromShortName(std::string_view name);

// One deviation at one averaging time. Every field is a finite number.
struct DeviationPoint {
    double tau = 0; // averaging time in s
    Deviation kind = Deviation::Allan;
    std::int64_t terms = 0; // terms of the sum behind value, at least 1
    double value = 0;
    double lower = 0; // bounds of the confidence interval; both equal value without one
    double upper = 0;
    int alpha = 0;  // noise type S_y ~ f^alpha the interval was formed for
    double edf = 0; // equivalent degrees of freedom behind the interval, 0 without one
    bool hasInterval = false;
};

} // namespace analysis
