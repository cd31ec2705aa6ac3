#include "app/formats/log_line.h"

#include "app/formats/float_text.h"

#include <cmath>

namespace app {

double ElapsedMs(double spanDays) {
    // nearbyint follows the default rounding mode: to nearest, halves to even.
    return std::nearbyint(spanDays * 24 * 60 * 60 * 1000);
}

std::string LogLine(double timeMs, double value, char decimalSeparator) {
    return FloatToStr(timeMs, decimalSeparator) + "        " + FloatToStr(value, decimalSeparator);
}

} // namespace app
