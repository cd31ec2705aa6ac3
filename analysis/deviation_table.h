// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/deviation.h"

#include <span>
#include <string>

namespace analysis {

// The deviation points of an analysis as text, the same wherever it is shown or copied. Numbers
// with "." as the decimal point whatever the locale; lines end in LF.

// The usual name of the power-law noise type S_y ~ f^alpha: "white PM", "flicker PM", "white FM",
// "flicker FM", "random walk FM", "flicker walk FM", "random run FM" for alpha 2 .. -4; "alpha N"
// for any other.
std::string noiseTypeName(int alpha);

// One averaging time of the table below, cell by cell: tau, terms, deviation, lower, upper and
// the noise type.
struct DeviationCells {
    std::string tau;
    std::string terms;
    std::string value;
    std::string lower;
    std::string upper;
    std::string noise;
};
DeviationCells deviationCells(const DeviationPoint& point);

// The header line "tau,deviation,terms,value,lower,upper,noise", then one line per point in the
// order given: tau in s, the short name of the deviation (adev, mdev, ..., tierms), the number of
// terms and the deviation with its interval in the deviation's unit, numbers with 17 significant
// digits; lower and upper are empty for a point without an interval; noise is the name of the
// noise type identified (or forced) at that tau, the one an interval is formed for.
std::string deviationCsv(std::span<const DeviationPoint> points);

// For people: each deviation under its name, a line per averaging time with columns tau/s,
// terms, deviation, lower, upper (5 significant digits; "-" without an interval) and the noise
// type the interval was formed for. Points of one deviation stay together in the order given.
std::string deviationTable(std::span<const DeviationPoint> points);

} // namespace analysis
