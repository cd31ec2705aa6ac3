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

std::string gapLogLine(const recording::Gap& gap, char decimalSeparator) {
    std::string why = "the device was gone";
    if (gap.cause == recording::GapCause::LostTelegrams) {
        why = gap.lostTelegrams == 0   ? "telegrams lost"
              : gap.lostTelegrams == 1 ? "1 telegram lost"
                                       : std::to_string(gap.lostTelegrams) + " telegrams lost";
    }
    return recording::floatToStr(gap.startMs, decimalSeparator) + "        gap of " +
           recording::floatToStr((gap.endMs - gap.startMs) / 1000, decimalSeparator) + " s: " + why;
}

} // namespace app
