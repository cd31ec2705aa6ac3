// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/axis_units.h"

#include <cmath>

namespace app {

std::optional<std::string> timeAxisCaption(double timeDivisor) {
    if (timeDivisor == 1) {
        return "Time/s";
    }
    if (timeDivisor == 60) {
        return "Time/min";
    }
    if (timeDivisor == 3600) {
        return "Time/h";
    }
    return std::nullopt;
}

std::optional<std::string> frequencyAxisCaption(double frequencyDivisor) {
    if (frequencyDivisor == 1) {
        return "Frequency/Hz";
    }
    if (frequencyDivisor == 1e3) {
        return "Frequency/kHz";
    }
    if (frequencyDivisor == 1e6) {
        return "Frequency/MHz";
    }
    if (frequencyDivisor == 1e9) {
        return "Frequency/GHz";
    }
    return std::nullopt;
}

std::optional<double> axisScaleFactor(double divisor) {
    const double factor = 1 / divisor;
    return std::isfinite(factor) ? std::optional<double>(factor) : std::nullopt;
}

} // namespace app
