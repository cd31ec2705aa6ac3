// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tools {

enum class Measurement { Idle, Single, Continuous };
enum class Quantity { Frequency, Period, Offset };
enum class TelegramFormat { Dump, Hertz };

// Everything the commands can change; what the counter sends follows from it.
struct CounterState {
    Measurement running = Measurement::Idle;
    double gateSeconds = 1.0;
    bool averaging = false;
    Quantity mode = Quantity::Frequency;
    TelegramFormat format = TelegramFormat::Dump;
    int transmitInterval = 1; // every n-th measurement is sent
    int prescaler = 1;        // the counted frequency is multiplied by this factor
};

} // namespace tools
