// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/telegram_format.h"

#include <cstdint>

namespace tools {

// The lines of the time-interval counter (without CR LF), each with the phase it stands for as a
// reader of the line gets it from the printed number.

// "<t> chA": the time stamp t = event + phase in seconds with 12 decimals, e.g.
// "17.000000123456 chA"; the value is t - round(t), taken from the printed decimals exactly.
Telegram ticTimestamp(std::int64_t event, double phaseS);
// The interval alone in seconds with 12 decimals, e.g. "0.000000123456".
Telegram ticInterval(double phaseS);

} // namespace tools
