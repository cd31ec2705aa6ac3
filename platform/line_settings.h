// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <termios.h>

namespace platform {

enum class Parity { None, Odd, Even, Mark, Space };

// How the line runs. Everything the settings do not name is fixed: raw bytes, no flow control of
// any kind, no modem-line control.
struct LineSettings {
    int baud = 9600;
    int dataBits = 8;
    Parity parity = Parity::None;
    int stopBits = 1;
};

// Writes the settings into `attributes` and switches off hardware and software flow control,
// whatever an earlier program left. False (attributes untouched) for a baud rate the terminal
// layer does not offer or data or stop bits it cannot do.
bool applyLineSettings(const LineSettings& settings, termios& attributes);

} // namespace platform
