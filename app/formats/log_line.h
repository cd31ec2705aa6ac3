#pragma once

#include <string>

namespace app {

// A span in days as whole milliseconds (halves to even), held in a double.
double ElapsedMs(double spanDays);

// One line of the measurement log: time stamp in ms, eight blanks, the value.
std::string LogLine(double timeMs, double value, char decimalSeparator);

} // namespace app
