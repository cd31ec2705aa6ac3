// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/record_options.h"

#include "cli/argument_parser.h"
#include "counter/instruments.h"

#include <array>
#include <cmath>

namespace cli {

namespace {

using counter::SetupRole;

constexpr std::array<KnownOption, 19> kOptions{{
    {"--instrument", true}, {"--port", true},     {"--gate", true},    {"--mode", true},
    {"--format", true},     {"--duration", true}, {"--count", true},   {"--out", true},
    {"--time", true},       {"--journal", true},  {"--command", true}, {"--influx", true},
    {"--database", true},   {"--bucket", true},   {"--org", true},     {"--token-file", true},
    {"--tag", true},        {"--help", false},    {"-h", false},
}};

// The options that set the instrument up, each choosing a command of its table by its setting.
struct SettingOption {
    std::string_view name;
    SetupRole role;
    std::string_view unit; // after the list of settings in a message
};
constexpr SettingOption kSettingOptions[] = {
    {"--gate", SetupRole::Gate, " seconds"},
    {"--mode", SetupRole::Mode, ""},
    {"--format", SetupRole::Format, ""},
};

std::string badValue(const std::string& name, const std::string& value, std::string_view allowed) {
    return "invalid value '" + value + "' for " + name + " (" + std::string(allowed) + ")";
}

std::string lowerCase(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c;
    }
    return text;
}

// The name of `path` with its extension replaced by `extension`.
std::string withExtension(const std::string& path, const std::string& extension) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    const bool inName = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (inName ? path.substr(0, dot) : path) + extension;
}

// "1 or 0.1": the settings the instrument's table has for a role.
std::string settingsOf(const counter::Instrument& instrument, SetupRole role) {
    std::string text;
    for (const counter::InstrumentCommand& command : instrument.commands()) {
        if (command.role == role && !command.setting.empty()) {
            text += (text.empty() ? "" : " or ") + std::string(command.setting);
        }
    }
    return text;
}

std::string instrumentNames() {
    std::string names;
    for (const counter::Instrument* instrument : counter::instruments()) {
        names += (names.empty() ? "" : " or ") + std::string(instrument->name());
    }
    return names;
}

// The command a setting option names; the error text, or empty when its value was good.
std::string applySetting(const SettingOption& option, const std::string& value,
                         const counter::Instrument& instrument,
                         std::vector<recording::SetupStep>& settings) {
    const std::string name(option.name);
    const std::string allowed = settingsOf(instrument, option.role);
    if (allowed.empty()) {
        return "the " + std::string(instrument.caption()) + " takes no " + name;
    }
    // A gate time is a number: "0.10" and "1.0" name the same.
    std::string setting = value;
    if (option.role == SetupRole::Gate) {
        if (const auto seconds = parseNumberArgument(value)) {
            setting = *seconds == 1 ? "1" : *seconds == 0.1 ? "0.1" : value;
        }
    }
    const counter::InstrumentCommand* command =
        counter::findCommand(instrument, option.role, setting);
    if (!command) {
        return badValue(name, value, allowed + std::string(option.unit));
    }
    settings.push_back({name + " " + value, command, {}});
    return {};
}

// Applies one option; the error text, or empty when its value was good.
std::string apply(const ParsedArguments::Option& option, RecordRequest& request,
                  std::vector<recording::SetupStep>& settings,
                  std::vector<recording::SetupStep>& commands) {
    const std::string& name = option.name;
    const std::string& value = option.value;
    const counter::Instrument& instrument = *request.instrument;
    if (std::string error; applyInfluxOption(name, value, request.influx, error)) {
        return error;
    }
    for (const SettingOption& setting : kSettingOptions) {
        if (name == setting.name) {
            return applySetting(setting, value, instrument, settings);
        }
    }
    if (name == "--port") {
        request.port = value;
    } else if (name == "--duration") {
        request.durationSeconds = parseDurationArgument(value);
        if (!request.durationSeconds) {
            return badValue(name, value, "a span above 0 such as 90s, 15m, 24h or 7d");
        }
    } else if (name == "--count") {
        const std::optional<double> count = parseNumberArgument(value);
        if (!count || *count < 1 || *count != std::floor(*count) || *count > 1e15) {
            return badValue(name, value, "a whole number of readings above 0");
        }
        request.count = static_cast<std::uint64_t>(*count);
    } else if (name == "--out") {
        const auto format = recording::measurementFormatOf(
            lowerCase(value.substr(std::min(value.size(), value.rfind('.')))));
        if (!format) {
            return badValue(name, value, "a file name ending in .dat or .csv");
        }
        request.outPath = value;
        request.outFormat = *format;
    } else if (name == "--time") {
        if (value != "ms" && value != "utc") {
            return badValue(name, value, "ms or utc");
        }
        request.utcTimes = value == "utc";
    } else if (name == "--journal") {
        if (value.empty()) {
            return badValue(name, value, "a file name");
        }
        request.journalPath = value;
        request.keepJournal = true;
    } else if (name == "--command") {
        if (instrument.commands().empty()) {
            return "the " + std::string(instrument.caption()) + " takes no commands";
        }
        if (value.empty()) {
            return badValue(name, value, "the text of an ESC command, such as i10");
        }
        commands.push_back({name + " '" + value + "'", nullptr, value});
    } else if (name == "--help" || name == "-h") {
        request.help = true;
    }
    return {};
}

// The instrument named by --instrument (the last one given), before any other option is read:
// what the others may say depends on it.
std::string chooseInstrument(const ParsedArguments& sorted, RecordRequest& request) {
    request.instrument = &counter::defaultInstrument();
    for (const auto& option : sorted.options) {
        if (option.name == "--instrument") {
            request.instrument = counter::findInstrument(option.value);
            if (!request.instrument) {
                return badValue(option.name, option.value, instrumentNames());
            }
        }
    }
    return {};
}

} // namespace

ParsedRecordRequest parseRecordRequest(std::span<const std::string> arguments) {
    ParsedRecordRequest parsed;
    RecordRequest& request = parsed.request;
    const ParsedArguments sorted = parseArguments(arguments, kOptions);
    parsed.error = sorted.error;
    if (parsed.error.empty()) {
        parsed.error = chooseInstrument(sorted, request);
    }
    std::vector<recording::SetupStep> settings;
    std::vector<recording::SetupStep> commands;
    for (const auto& option : sorted.options) {
        if (parsed.error.empty()) {
            parsed.error = apply(option, request, settings, commands);
        }
    }
    if (!parsed.error.empty() || request.help) {
        return parsed;
    }
    if (!sorted.operands.empty()) {
        parsed.error = "record takes no operand '" + sorted.operands.front() + "'";
    } else if (request.port.empty()) {
        parsed.error = "record needs --port; 'talvek-cli ports' lists them";
    } else if (request.utcTimes && !request.outPath.empty() &&
               request.outFormat != recording::MeasurementFormat::Csv) {
        parsed.error =
            "--time utc writes a timestamped CSV: --out needs a file name ending in .csv";
    } else {
        parsed.error = influxOptionsError(request.influx);
    }
    if (request.utcTimes && !request.outPath.empty()) {
        request.outFormat = recording::MeasurementFormat::TimestampedCsv;
    }
    // A counter still measuring would mix readings of the old settings into the new ones.
    if (const auto* stop = counter::findCommand(*request.instrument, SetupRole::Stop)) {
        request.setup.push_back({"the stop of a running measurement", stop, {}});
    }
    request.setup.insert(request.setup.end(), settings.begin(), settings.end());
    request.setup.insert(request.setup.end(), commands.begin(), commands.end());
    request.start = counter::findCommand(*request.instrument, SetupRole::Start);
    if (request.journalPath.empty() && !request.outPath.empty()) {
        request.journalPath = withExtension(request.outPath, ".tvj");
    }
    return parsed;
}

std::string recordUsageText() {
    return std::string(R"(Usage: talvek-cli record --port NAME [OPTIONS]

Connects to the instrument on port NAME (a COM name as 'talvek-cli ports' lists it, or its
device node such as /dev/ttyUSB0), identifies it, sets it up and records its readings until it
is stopped: by Ctrl-C or SIGTERM, after --duration, or after --count readings. A KELVO counter is
set up with the commands of the window's Command menu: first Measure/stop, then the settings
given, then each --command, then Measure/continuous. A time-interval counter (--instrument tic)
takes no commands: its lines are recorded as they come, each a phase reading in seconds.

Each reading goes to standard output as soon as it arrives, as the window's .dat file has it:
three header lines starting with "/*" (the second with the start date-time), then a line
"time value" per reading, time in ms from the connect to the arrival of the reading and value
in Hz (in s in period mode and for phase readings) with "." as the decimal point; with --time
utc as a timestamped CSV instead. Saved to a file ending in .dat (or .csv) it opens in the
window and in 'talvek-cli stability'. On a terminal, standard error shows one line of progress: readings,
their rate, the last value and the time elapsed.

At the end the readings are written to the --out file, in the window's .dat or .csv format,
beside it and then renamed over it, so the file is never half written. Meanwhile a journal
records every reading and every reply of the counter, saved to disk at least once a second, so
that a crash or a power cut loses at most the last second; the window opens it with "Open
measurement...". After a clean end the journal is removed, unless --journal named it; a
journal that is already there is never replaced.

Options
  --port NAME        the instrument's port, such as COM3 or /dev/ttyUSB0 (required)
  --instrument kelvo|tic
                     the KELVO frequency counter (default) or a time-interval counter such
                     as the TAPR TICC (115200 baud, one reading per line)
  --gate 1|0.1       gate time in s (KELVO)
  --mode frequency|period  (KELVO)
  --format dump|hertz
                     the counter's telegram: its display dump or the bare value in Hz (KELVO)
  --duration SPAN    stop after SPAN: 90s, 15m, 24h, 7d (seconds without a unit)
  --count N          stop after N readings
  --out FILE         write the readings to FILE, ending in .dat or .csv
  --time ms|utc      the first column: ms since the connect (default), or the moment of
                     arrival in UTC, 2026-12-09T00:22:10.123Z, as a timestamped CSV (header
                     line "time_utc,value", lines "time,value"; --out then ends in .csv)
  --journal FILE     the journal's file (default: the --out file ending in .tvj; none
                     without --out)
  --command TEXT     send ESC TEXT CR to the counter before it measures, as the window's
                     "ESC Command <value>" does (for example i10: every 10th reading);
                     may be given more than once, sent in order (KELVO)
)") + influxUsageText() +
           R"(  --help             this text

If the device goes away (unplugged), the recording waits for it, as long as it takes, and says so
on standard error ("Serial device COM3 lost; waiting for it to come back"). It looks twice a
second for the same device (the same USB adapter by its serial number, the same link of a virtual
port), opens it when the counter gives the same identification, sets it up again and goes on
into the same output, file and journal ("Serial device COM3 reconnected; 4.2 s lost"); the time
stamps go on across the gap. --duration and --count count the time and readings before it, and
Ctrl-C or SIGTERM while waiting write the file and exit 0. Only a port missing from the system's
port list at the connect, with nothing to know it again by, ends the recording at once, with the
readings so far and exit status 6.

With --influx each reading (field value, tag quantity), status reply (field text) and gap (field
seconds: a reconnect, or telegrams the line lost) is also a point of the measurement "talvek" in
the database, with the field kind (reading, status or gap), the tags port, instrument, identity
and those of --tag, and the time of its arrival in UTC nanoseconds; it is sent within a second.
The journal is the buffer: while the database is down or slow the readings wait there (in the
data folder, ~/.local/share/talvek, when neither --out nor --journal names one), and when it
answers again they follow from where it stopped taking them, each once. That the database does
not answer, or answers with an error, is told once on standard error, and so is its return. A
URL that does not parse, a token file that cannot be read, a login refused or a database or bucket
that is not there end the recording at its start with exit status 8. After the end the rest is
sent within 10 s; a journal that still holds readings the database did not take is kept.
)";
}

} // namespace cli
