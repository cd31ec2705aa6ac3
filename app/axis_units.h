#pragma once

#include <optional>
#include <string>

namespace app {

// The time-axis caption for a divisor of exactly 1, 60 or 3600; nothing for any other value.
std::optional<std::string> TimeAxisCaption(double timeDivisor);

// The frequency-axis caption for a divisor of exactly 1, 1000, 1e6 or 1e9; nothing otherwise.
std::optional<std::string> FrequencyAxisCaption(double frequencyDivisor);

// The axis scale factor 1 / divisor; nothing where that is not a finite number, so the
// factor in force stays.
std::optional<double> AxisScaleFactor(double divisor);

} // namespace app
