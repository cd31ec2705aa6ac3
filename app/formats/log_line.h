// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace app {

// A span in days as whole milliseconds (halves to even), held in a double.
double elapsedMs(double spanDays);

// One line of the measurement log: time stamp in ms, eight blanks, the value.
std::string logLine(double timeMs, double value, char decimalSeparator);

} // namespace app
