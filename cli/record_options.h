// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/measurement_writer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace counter {
class KelvoCounter;
}

namespace cli {

// One command that sets the counter up before it measures; false when it could not be sent.
struct SetupStep {
    std::string what; // for messages: "--gate 0.1"
    std::function<bool(counter::KelvoCounter&)> send;
};

// What "talvek-cli record" was asked to do.
struct RecordRequest {
    std::string port;
    // In order: stop, the settings, the user's commands; continuous measurement follows them.
    std::vector<SetupStep> setup;
    std::optional<double> durationSeconds;
    std::optional<std::uint64_t> count;
    std::string outPath; // empty: standard output only
    counter::MeasurementFormat outFormat = counter::MeasurementFormat::Dat;
    std::string journalPath;  // empty: no journal
    bool keepJournal = false; // named by the user: it stays after a clean end
    bool help = false;
};

struct ParsedRecordRequest {
    RecordRequest request;
    std::string error; // empty when the arguments were good
};

ParsedRecordRequest parseRecordRequest(std::span<const std::string> arguments);

std::string recordUsageText();

} // namespace cli
