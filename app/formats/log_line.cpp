// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/log_line.h"

#include "recording/float_text.h"

#include <cmath>

namespace app {

double elapsedMs(double spanDays) {
    // nearbyint follows the default rounding mode: to nearest, halves to even.
    return std::nearbyint(spanDays * 24 * 60 * 60 * 1000);
}

std::string logLine(double timeMs, double value, char decimalSeparator) {
    return recording::floatToStr(timeMs, decimalSeparator) + "        " +
           recording::floatToStr(value, decimalSeparator);
}

} // namespace app
