// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace analysis {

// Readings reduced to what the analysis needs: time stamp in ms and frequency in Hz, NaN where
// the reading has no usable value. Readings without a finite time stamp are not in here.
struct TimedValues {
    std::vector<double> timeMs;
    std::vector<double> frequency;

    void add(double timeMs, double value, bool isPeriod);
    std::size_t size() const { return timeMs.size(); }
};

// The frequency of a reading, or NaN when its value is not a finite positive number.
double usableFrequency(double value, bool isPeriod);

// The nominal given when it is a finite positive number, otherwise the mean.
double chosenNominal(std::optional<double> given, double mean);

// The lower median of the positive intervals between consecutive time stamps; 0 without any.
double medianIntervalMs(const std::vector<double>& timeMs);

// Readings are missing before an interval this long.
inline bool isGap(double intervalMs, double tau0Ms) {
    return tau0Ms > 0 && intervalMs >= 1.5 * tau0Ms;
}

// For each reading whether a gap precedes it.
std::vector<char> gapsBefore(const std::vector<double>& timeMs, double tau0Ms);

} // namespace analysis
