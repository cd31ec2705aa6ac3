#pragma once

namespace vkelvo {

enum class Measurement { Idle, Single, Continuous };
enum class Quantity { Frequency, Period, Offset };
enum class TelegramFormat { Dump, Hertz };

// Everything the commands can change; what the counter sends follows from it.
struct CounterState {
    Measurement Running = Measurement::Idle;
    double GateSeconds = 1.0;
    bool Averaging = false;
    Quantity Mode = Quantity::Frequency;
    TelegramFormat Format = TelegramFormat::Dump;
    int TransmitInterval = 1; // every n-th measurement is sent
    int Prescaler = 1;        // the counted frequency is multiplied by this factor
};

} // namespace vkelvo
