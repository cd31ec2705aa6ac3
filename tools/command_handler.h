#pragma once

#include "tools/counter_state.h"

#include <string>
#include <string_view>

namespace vkelvo {

inline constexpr const char* Identification = "kelvo FC-3000 V2.1 virtual";
inline constexpr const char* ReplyOk = "OK";
inline constexpr const char* ReplyUnknown = "?";
inline constexpr const char* ReplyBadNumber = "ERR";

struct CommandOutcome {
    std::string Reply;
    bool RestartMeasurement = false; // a new measurement begins now
};

// Applies one command (the text between ESC and CR) to the counter's settings.
CommandOutcome HandleCommand(CounterState& state, std::string_view command);

} // namespace vkelvo
