// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace app {

// How many seconds one unit of the graph's time axis holds, and how many hertz one unit of its
// frequency axis.
struct AxisUnits {
    double timeDivisor = 1;
    double frequencyDivisor = 1;
    bool operator==(const AxisUnits&) const = default;
};

// An entry of a unit menu.
struct UnitEntry {
    const char* caption;
    double divisor;
};

inline constexpr UnitEntry kTimeUnits[] = {{"seconds", 1}, {"minutes", 60}, {"hours", 3600}};
inline constexpr UnitEntry kFrequencyUnits[] = {
    {"Hz", 1}, {"kHz", 1e3}, {"MHz", 1e6}, {"GHz", 1e9}};

// The time-axis caption for a divisor of exactly 1, 60 or 3600; nothing for any other value.
std::optional<std::string> timeAxisCaption(double timeDivisor);

// The frequency-axis caption for a divisor of exactly 1, 1000, 1e6 or 1e9; nothing otherwise.
std::optional<std::string> frequencyAxisCaption(double frequencyDivisor);

// The axis scale factor 1 / divisor; nothing where that is not a finite number, so the
// factor in force stays.
std::optional<double> axisScaleFactor(double divisor);

} // namespace app
