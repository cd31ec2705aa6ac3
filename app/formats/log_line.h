// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/gap.h"

#include <string>

namespace app {

// A span in days as whole milliseconds (halves to even), held in a double.
double elapsedMs(double spanDays);

// One line of the measurement log: time stamp in ms, eight blanks, the value.
std::string logLine(double timeMs, double value, char decimalSeparator);

// The log's line for a gap: its start in ms, eight blanks, its length and why, e.g.
// "2000        gap of 2.5 s: 5 telegrams lost" or "...: the device was gone".
std::string gapLogLine(const recording::Gap& gap, char decimalSeparator);

} // namespace app
