// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/tic_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tools {

namespace {

constexpr std::int64_t kPicosPerSecond = 1000000000000;

double leadingNumber(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

Telegram ticTimestamp(std::int64_t event, double phaseS) {
    // Whole seconds and picoseconds apart: the sum as a double would lose the last decimals
    // once the stamps pass some ten thousand seconds.
    const std::int64_t phasePs = std::llround(phaseS * static_cast<double>(kPicosPerSecond));
    const std::int64_t carry =
        phasePs >= 0 ? phasePs / kPicosPerSecond : -((-phasePs - 1) / kPicosPerSecond) - 1;
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%012lld chA", static_cast<long long>(event + carry),
                  static_cast<long long>(phasePs - carry * kPicosPerSecond));
    // t - round(t) from the printed picoseconds themselves, exactly as the line tells it.
    const std::int64_t fractionPs = phasePs - carry * kPicosPerSecond;
    const double error = 2 * fractionPs >= kPicosPerSecond
                             ? -static_cast<double>(kPicosPerSecond - fractionPs)
                             : static_cast<double>(fractionPs);
    return {text, error / static_cast<double>(kPicosPerSecond)};
}

Telegram ticInterval(double phaseS) {
    // Locale-independent on purpose: the line always carries "." as decimal point.
    char text[48];
    const auto end =
        std::to_chars(text, text + sizeof text, phaseS, std::chars_format::fixed, 12).ptr;
    const std::string line(text, end);
    return {line, leadingNumber(line)};
}

} // namespace tools
