// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/counter_state.h"

#include <string>
#include <string_view>

namespace tools {

// One telegram as it goes on the line (without its CR LF) and the reading it stands for: the
// number as written times the unit's factor, in Hz or, for a period, in seconds.
struct Telegram {
    std::string text;
    double value = 0;
};

// Significant digits a reading carries: 10 at a 1 s gate, one fewer per decade shorter.
int significantDigits(double gateSeconds);
// Decimals that give `digits` significant digits to `value` (none below zero).
int decimalsFor(double value, int digits);

// The 32-character display dump: "av", 15 characters of `info`, the 3-character unit field,
// a blank and the 11-character number field, right aligned.
Telegram dumpFrequency(double hz, int digits, std::string_view info);
Telegram dumpPeriod(double seconds, int digits, std::string_view info);
Telegram dumpOffset(double hz, int decimals, std::string_view info);
// The plain Hertz value, 6 to 14 characters.
Telegram hertzValue(double hz, int decimals);

// The telegram of one measurement of `countedHz`, as the counter's settings ask for it.
// `referenceHz` is the zero of the offset mode.
Telegram formatReading(const CounterState& state, double countedHz, double referenceHz);

} // namespace tools
