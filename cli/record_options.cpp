// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/record_options.h"

#include "cli/argument_parser.h"
#include "counter/kelvo_counter.h"

#include <array>
#include <cmath>

namespace cli {

namespace {

using counter::KelvoCounter;

constexpr std::array<KnownOption, 11> kOptions{{
    {"--port", true},
    {"--gate", true},
    {"--mode", true},
    {"--format", true},
    {"--duration", true},
    {"--count", true},
    {"--out", true},
    {"--journal", true},
    {"--command", true},
    {"--help", false},
    {"-h", false},
}};

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

SetupStep step(const std::string& name, const std::string& value,
               std::function<bool(KelvoCounter&)> send) {
    return {name + " " + value, std::move(send)};
}

// Applies one option; the error text, or empty when its value was good.
std::string apply(const ParsedArguments::Option& option, RecordRequest& request,
                  std::vector<SetupStep>& settings, std::vector<SetupStep>& commands) {
    const std::string& name = option.name;
    const std::string& value = option.value;
    if (name == "--port") {
        request.port = value;
    } else if (name == "--gate") {
        const std::optional<double> seconds = parseNumberArgument(value);
        if (!seconds || (*seconds != 1 && *seconds != 0.1)) {
            return badValue(name, value, "1 or 0.1 seconds");
        }
        const float gate = static_cast<float>(*seconds);
        settings.push_back(
            step(name, value, [gate](KelvoCounter& c) { return c.setGateTime(gate); }));
    } else if (name == "--mode") {
        if (value != "frequency" && value != "period") {
            return badValue(name, value, "frequency or period");
        }
        const int mode = value == "frequency" ? 0 : 1;
        settings.push_back(step(name, value, [mode](KelvoCounter& c) { return c.setMode(mode); }));
    } else if (name == "--format") {
        if (value != "dump" && value != "hertz") {
            return badValue(name, value, "dump or hertz");
        }
        const bool hertz = value == "hertz";
        settings.push_back(
            step(name, value, [hertz](KelvoCounter& c) { return c.setTelegram(hertz); }));
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
        const auto format = counter::measurementFormatOf(
            lowerCase(value.substr(std::min(value.size(), value.rfind('.')))));
        if (!format) {
            return badValue(name, value, "a file name ending in .dat or .csv");
        }
        request.outPath = value;
        request.outFormat = *format;
    } else if (name == "--journal") {
        if (value.empty()) {
            return badValue(name, value, "a file name");
        }
        request.journalPath = value;
        request.keepJournal = true;
    } else if (name == "--command") {
        if (value.empty()) {
            return badValue(name, value, "the text of an ESC command, such as i10");
        }
        commands.push_back(step(name, "'" + value + "'",
                                [value](KelvoCounter& c) { return c.escCommand(value); }));
    } else {
        request.help = true;
    }
    return {};
}

} // namespace

ParsedRecordRequest parseRecordRequest(std::span<const std::string> arguments) {
    ParsedRecordRequest parsed;
    RecordRequest& request = parsed.request;
    const ParsedArguments sorted = parseArguments(arguments, kOptions);
    parsed.error = sorted.error;
    std::vector<SetupStep> settings;
    std::vector<SetupStep> commands;
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
    }
    // A counter still measuring would mix readings of the old settings into the new ones.
    request.setup.push_back(
        {"the stop of a running measurement", [](KelvoCounter& c) { return c.measureStop(); }});
    request.setup.insert(request.setup.end(), settings.begin(), settings.end());
    request.setup.insert(request.setup.end(), commands.begin(), commands.end());
    if (request.journalPath.empty() && !request.outPath.empty()) {
        request.journalPath = withExtension(request.outPath, ".tvj");
    }
    return parsed;
}

std::string recordUsageText() {
    return R"(Usage: talvek-cli record --port NAME [OPTIONS]

Connects to the KELVO counter on port NAME (a COM name as 'talvek-cli ports' lists it),
identifies it, sets it up and records its readings until it is stopped: by Ctrl-C or SIGTERM,
after --duration, or after --count readings. The counter is set up with the commands of the
window's Command menu: first Measure/stop, then the settings given, then each --command, then
Measure/continuous.

Each reading goes to standard output as soon as it arrives, as the window's .dat file has it:
three header lines starting with "/*" (the second with the start date-time), then a line
"time value" per reading, time in ms since the connect and value in Hz (in s in period mode)
with "." as the decimal point. Saved to a file ending in .dat it opens in the window and in
'talvek-cli stability'. On a terminal, standard error shows one line of progress: readings,
their rate, the last value and the time elapsed.

At the end the readings are written to the --out file, in the window's .dat or .csv format,
beside it and then renamed over it, so the file is never half written. Meanwhile a journal
records every reading and every reply of the counter, saved to disk at least once a second, so
that a crash or a power cut loses at most the last second; the window opens it with "Open
measurement...". After a clean end the journal is removed, unless --journal named it; a
journal that is already there is never replaced.

Options
  --port NAME        the counter's port, such as COM3 (required)
  --gate 1|0.1       gate time in s
  --mode frequency|period
  --format dump|hertz
                     the counter's telegram: its display dump or the bare value in Hz
  --duration SPAN    stop after SPAN: 90s, 15m, 24h, 7d (seconds without a unit)
  --count N          stop after N readings
  --out FILE         write the readings to FILE, ending in .dat or .csv
  --journal FILE     the journal's file (default: the --out file ending in .tvj; none
                     without --out)
  --command TEXT     send ESC TEXT CR to the counter before it measures, as the window's
                     "ESC Command <value>" does (for example i10: every 10th reading);
                     may be given more than once, sent in order
  --help             this text

If the device goes away (unplugged), the recording waits for it, as long as it takes, and says so
on standard error ("Serial device COM3 lost; waiting for it to come back"). It looks twice a
second for the same device (the same USB adapter by its serial number, the same link of a virtual
port), opens it when the counter gives the same identification, sets it up again and goes on
into the same output, file and journal ("Serial device COM3 reconnected; 4.2 s lost"); the time
stamps go on across the gap. --duration and --count count the time and readings before it, and
Ctrl-C or SIGTERM while waiting write the file and exit 0. Only a port missing from the system's
port list at the connect, with nothing to know it again by, ends the recording at once, with the
readings so far and exit status 6.
)";
}

} // namespace cli
