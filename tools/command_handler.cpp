// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/command_handler.h"

#include <charconv>

namespace tools {

namespace {

constexpr int kMaxTransmitInterval = 3600;
constexpr int kMaxPrescaler = 9999;

// A decimal number in [low, high]; a leading "+", blanks or a fraction make it bad.
bool numberIn(std::string_view text, int low, int high, int& out) {
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && ec == std::errc() && ptr == text.data() + text.size() && out >= low &&
           out <= high;
}

CommandOutcome ok(bool restart = false) {
    return {kReplyOk, restart};
}

} // namespace

CommandOutcome handleCommand(CounterState& state, std::string_view command) {
    if (command.empty()) {
        return {kReplyUnknown};
    }
    const char letter = command.front();
    const std::string_view argument = command.substr(1);
    if (letter == 'i' || letter == 'b') {
        int n = 0;
        const int high = letter == 'i' ? kMaxTransmitInterval : kMaxPrescaler;
        if (!numberIn(argument, 1, high, n)) {
            return {kReplyBadNumber};
        }
        (letter == 'i' ? state.transmitInterval : state.prescaler) = n;
        return ok();
    }
    if (!argument.empty()) {
        return {kReplyUnknown};
    }
    const bool running = state.running != Measurement::Idle;
    switch (letter) {
    case 'I':
        return {kIdentification};
    case '1':
        state.running = Measurement::Single;
        return ok(true);
    case 'r':
        state.running = Measurement::Continuous;
        return ok(true);
    case 'x':
        state.running = Measurement::Idle;
        return ok();
    case 'T':
    case 't':
        state.gateSeconds = letter == 'T' ? 1.0 : 0.1;
        return ok(running);
    case 'A':
    case 'a':
        state.averaging = letter == 'A';
        return ok();
    case 'f':
        state.mode = Quantity::Frequency;
        return ok();
    case 'p':
        state.mode = Quantity::Period;
        return ok();
    case 'o':
        state.mode = Quantity::Offset;
        return ok();
    case 'd':
    case 'h':
        state.format = letter == 'd' ? TelegramFormat::Dump : TelegramFormat::Hertz;
        return ok();
    default:
        return {kReplyUnknown};
    }
}

} // namespace tools
