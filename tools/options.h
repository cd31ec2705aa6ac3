// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/counter_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tools {

enum class InstrumentKind { Kelvo, Tic };
// The lines of the time-interval counter: "<time stamp> chA", or the interval alone.
enum class TicFormat { Timestamp, Interval };

struct Options {
    InstrumentKind instrument = InstrumentKind::Kelvo;
    int com = 0; // 0: the lowest free number from 20 upwards
    bool startContinuous = true;
    TelegramFormat format = TelegramFormat::Dump;
    TicFormat ticFormat = TicFormat::Timestamp;
    double gateSeconds = 1.0;
    std::string logFile;
    std::optional<std::uint64_t> seed;
    // Faults
    double garbageRate = 0; // chance per telegram of a garbage block in front of it
    bool split = false;
    bool noDelimiter = false;
    int silenceMs = 0;
    // Measuring continuously, one reading right after the other, at line speed (times burst).
    bool lineRate = false;
    double burst = 1;
    int unplugAfterMs = -1;
    long count = -1;
    bool help = false;
};

struct ParsedOptions {
    Options values;
    std::string error; // empty when the command line was good
};

ParsedOptions parseOptions(const std::vector<std::string>& args);
std::string usageText();

} // namespace tools
