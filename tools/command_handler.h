// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/counter_state.h"

#include <string>
#include <string_view>

namespace tools {

inline constexpr const char* kIdentification = "kelvo FC-3000 V2.1 virtual";
inline constexpr const char* kReplyOk = "OK";
inline constexpr const char* kReplyUnknown = "?";
inline constexpr const char* kReplyBadNumber = "ERR";

struct CommandOutcome {
    std::string reply;
    bool restartMeasurement = false; // a new measurement begins now
};

// Applies one command (the text between ESC and CR) to the counter's settings.
CommandOutcome handleCommand(CounterState& state, std::string_view command);

} // namespace tools
