#pragma once

#include "tools/counter_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vkelvo {

struct Options {
    int Com = 0; // 0: the lowest free number from 20 upwards
    bool StartContinuous = true;
    TelegramFormat Format = TelegramFormat::Dump;
    double GateSeconds = 1.0;
    std::string LogFile;
    std::optional<std::uint64_t> Seed;
    // Faults
    double GarbageRate = 0; // chance per telegram of a garbage block in front of it
    bool Split = false;
    bool NoDelimiter = false;
    int SilenceMs = 0;
    double Burst = 1;
    int UnplugAfterMs = -1;
    long Count = -1;
    bool Help = false;
};

struct ParsedOptions {
    Options Values;
    std::string Error; // empty when the command line was good
};

ParsedOptions ParseOptions(const std::vector<std::string>& args);
std::string UsageText();

} // namespace vkelvo
