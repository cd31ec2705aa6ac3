// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/influx_options.h"
#include "counter/instrument.h"
#include "recording/measurement_writer.h"
#include "recording/session.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace cli {

// What "talvek-cli record" was asked to do.
struct RecordRequest {
    const counter::Instrument* instrument = nullptr;
    std::string port;
    // In order: the stop of a measurement under way, the settings, the user's commands; the
    // start of continuous measurement follows them.
    std::vector<recording::SetupStep> setup;
    const counter::InstrumentCommand* start = nullptr;
    std::optional<double> durationSeconds;
    std::optional<std::uint64_t> count;
    std::string outPath; // empty: standard output only
    recording::MeasurementFormat outFormat = recording::MeasurementFormat::Dat;
    bool utcTimes = false;    // --time utc: standard output and --out as a timestamped CSV
    std::string journalPath;  // empty: no journal
    bool keepJournal = false; // named by the user: it stays after a clean end
    InfluxRequest influx;
    bool help = false;
};

struct ParsedRecordRequest {
    RecordRequest request;
    std::string error; // empty when the arguments were good
};

ParsedRecordRequest parseRecordRequest(std::span<const std::string> arguments);

std::string recordUsageText();

} // namespace cli
