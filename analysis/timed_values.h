// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading.h"
#include "analysis/reading_source.h"

#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

namespace analysis {

// Readings reduced to what the analysis needs: time stamp in ms and value, NaN where the reading
// has no usable value. The first reading says what the series is: phase readings (values in s)
// or frequency and period readings (values in Hz); a reading of the other kind has no value.
// Readings without a finite time stamp are not in here.
struct TimedValues {
    std::vector<double> timeMs;
    std::vector<double> values;
    // Indices of the readings a recorded gap precedes, ascending (Reading::gapBefore).
    std::vector<std::size_t> recordedGaps;
    bool phase = false;
    bool gapPending = false; // a recorded gap before an ignored reading, for the next one

    void add(double timeMs, double value, Quantity quantity, bool gapBefore = false);
    std::size_t size() const { return timeMs.size(); }
};

// The readings [first, last) of a source.
TimedValues timedValues(const ReadingSource& readings, std::size_t first, std::size_t last);

// The frequency of a frequency or period reading, or NaN when its value is not a finite positive
// number or the reading is a phase.
double usableFrequency(double value, Quantity quantity);

// What a reading gives a series of phase readings (phase) or of frequencies: its finite phase in
// s, or its usable frequency in Hz; NaN otherwise.
double usableValue(double value, Quantity quantity, bool phase);

// The phase step x - previous that one phase reading adds, in s: NaN after a gap, and where
// either phase has no value, so no step spans a gap or a missing value.
inline double phaseStep(double previous, double x, bool gapBefore) {
    return gapBefore ? std::numeric_limits<double>::quiet_NaN() : x - previous;
}

// The phase steps of a phase series: NaN for the first reading and after every gap.
std::vector<double> phaseSteps(const std::vector<double>& phase, const std::vector<char>& gaps);

// The nominal given when it is a finite positive number, otherwise the mean.
double chosenNominal(std::optional<double> given, double mean);

// The lower median of the positive intervals between consecutive time stamps; 0 without any.
double medianIntervalMs(const std::vector<double>& timeMs);

// Readings are missing before an interval this long.
inline bool isGap(double intervalMs, double tau0Ms) {
    return tau0Ms > 0 && intervalMs >= 1.5 * tau0Ms;
}

// For each reading whether a gap precedes it: a recorded one, or one the time stamps tell.
std::vector<char> gapsBefore(const TimedValues& readings, double tau0Ms);

} // namespace analysis
