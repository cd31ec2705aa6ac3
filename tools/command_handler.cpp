#include "tools/command_handler.h"

#include <charconv>

namespace vkelvo {

namespace {

constexpr int kMaxTransmitInterval = 3600;
constexpr int kMaxPrescaler = 9999;

// A decimal number in [low, high]; a leading "+", blanks or a fraction make it bad.
bool NumberIn(std::string_view text, int low, int high, int& out) {
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && ec == std::errc() && ptr == text.data() + text.size() && out >= low &&
           out <= high;
}

CommandOutcome Ok(bool restart = false) {
    return {ReplyOk, restart};
}

} // namespace

CommandOutcome HandleCommand(CounterState& state, std::string_view command) {
    if (command.empty()) {
        return {ReplyUnknown};
    }
    const char letter = command.front();
    const std::string_view argument = command.substr(1);
    if (letter == 'i' || letter == 'b') {
        int n = 0;
        const int high = letter == 'i' ? kMaxTransmitInterval : kMaxPrescaler;
        if (!NumberIn(argument, 1, high, n)) {
            return {ReplyBadNumber};
        }
        (letter == 'i' ? state.TransmitInterval : state.Prescaler) = n;
        return Ok();
    }
    if (!argument.empty()) {
        return {ReplyUnknown};
    }
    const bool running = state.Running != Measurement::Idle;
    switch (letter) {
    case 'I':
        return {Identification};
    case '1':
        state.Running = Measurement::Single;
        return Ok(true);
    case 'r':
        state.Running = Measurement::Continuous;
        return Ok(true);
    case 'x':
        state.Running = Measurement::Idle;
        return Ok();
    case 'T':
    case 't':
        state.GateSeconds = letter == 'T' ? 1.0 : 0.1;
        return Ok(running);
    case 'A':
    case 'a':
        state.Averaging = letter == 'A';
        return Ok();
    case 'f':
        state.Mode = Quantity::Frequency;
        return Ok();
    case 'p':
        state.Mode = Quantity::Period;
        return Ok();
    case 'o':
        state.Mode = Quantity::Offset;
        return Ok();
    case 'd':
    case 'h':
        state.Format = letter == 'd' ? TelegramFormat::Dump : TelegramFormat::Hertz;
        return Ok();
    default:
        return {ReplyUnknown};
    }
}

} // namespace vkelvo
