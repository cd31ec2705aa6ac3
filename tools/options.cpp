// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/options.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tools {

namespace {

template <typename T> bool parseWhole(const std::string& text, T& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty();
}

bool parseReal(const std::string& text, double& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty() && std::isfinite(out);
}

std::string invalidValue(const std::string& option, const std::string& value) {
    return "invalid value '" + value + "' for " + option;
}

bool isKelvoFormat(const std::string& format) {
    return format == "dump" || format == "hertz";
}

bool isTicFormat(const std::string& format) {
    return format == "timestamp" || format == "interval";
}

// What depends on the instrument is settled once the whole line is read, since --instrument may
// come after the settings it governs. Returns the error, or nothing.
std::string applyInstrument(Options& o, const std::optional<std::string>& format) {
    if (o.instrument == InstrumentKind::Kelvo) {
        if (!format || isKelvoFormat(*format)) {
            o.format = format == "hertz" ? TelegramFormat::Hertz : TelegramFormat::Dump;
            return {};
        }
        return invalidValue("--format", *format) +
               (isTicFormat(*format) ? " (dump or hertz; timestamp and interval are for "
                                       "--instrument tic)"
                                     : " (dump or hertz)");
    }
    if (!o.startContinuous) {
        return "--start idle does not go with --instrument tic: it always streams";
    }
    if (!format || isTicFormat(*format)) {
        o.ticFormat = format == "interval" ? TicFormat::Interval : TicFormat::Timestamp;
        return {};
    }
    return invalidValue("--format", *format) +
           (isKelvoFormat(*format) ? " (timestamp or interval; dump and hertz are for "
                                     "--instrument kelvo)"
                                   : " (timestamp or interval)");
}

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    ParsedOptions result;
    Options& o = result.values;
    std::optional<std::string> format;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        auto value = [&](std::string& out) {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                result.error = name + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto flag = [&]() {
            if (inlineValue) {
                result.error = name + " takes no value";
                return false;
            }
            return true;
        };
        std::string v;
        if (name == "--help" || name == "-h") {
            if (!flag()) {
                return result;
            }
            o.help = true;
        } else if (name == "--split" || name == "--no-delimiter" || name == "--line-rate") {
            if (!flag()) {
                return result;
            }
            (name == "--split"       ? o.split
             : name == "--line-rate" ? o.lineRate
                                     : o.noDelimiter) = true;
        } else if (name == "--com") {
            if (!value(v)) {
                return result;
            }
            if (!parseWhole(v, o.com) || o.com < 1 || o.com > 255) {
                result.error = invalidValue(name, v) + " (1..255)";
            }
        } else if (name == "--start") {
            if (!value(v)) {
                return result;
            }
            if (v == "continuous" || v == "idle") {
                o.startContinuous = v == "continuous";
            } else {
                result.error = invalidValue(name, v) + " (continuous or idle)";
            }
        } else if (name == "--instrument") {
            if (!value(v)) {
                return result;
            }
            if (v == "kelvo" || v == "tic") {
                o.instrument = v == "kelvo" ? InstrumentKind::Kelvo : InstrumentKind::Tic;
            } else {
                result.error = invalidValue(name, v) + " (kelvo or tic)";
            }
        } else if (name == "--format") {
            if (!value(v)) {
                return result;
            }
            format = v;
        } else if (name == "--gate") {
            if (!value(v)) {
                return result;
            }
            if (v == "1" || v == "0.1") {
                o.gateSeconds = v == "1" ? 1.0 : 0.1;
            } else {
                result.error = invalidValue(name, v) + " (1 or 0.1)";
            }
        } else if (name == "--log") {
            if (!value(v)) {
                return result;
            }
            if (v.empty()) {
                result.error = invalidValue(name, v);
            }
            o.logFile = v;
        } else if (name == "--seed") {
            std::uint64_t seed = 0;
            if (!value(v)) {
                return result;
            }
            if (parseWhole(v, seed)) {
                o.seed = seed;
            } else {
                result.error = invalidValue(name, v);
            }
        } else if (name == "--garbage") {
            if (!value(v)) {
                return result;
            }
            if (!parseReal(v, o.garbageRate) || o.garbageRate < 0 || o.garbageRate > 1) {
                result.error = invalidValue(name, v) + " (0..1)";
            }
        } else if (name == "--silence") {
            if (!value(v)) {
                return result;
            }
            if (!parseWhole(v, o.silenceMs) || o.silenceMs < 0) {
                result.error = invalidValue(name, v);
            }
        } else if (name == "--burst") {
            if (!value(v)) {
                return result;
            }
            if (!parseReal(v, o.burst) || o.burst < 1 || o.burst > 1000) {
                result.error = invalidValue(name, v) + " (1..1000)";
            }
        } else if (name == "--unplug-after") {
            if (!value(v)) {
                return result;
            }
            if (!parseWhole(v, o.unplugAfterMs) || o.unplugAfterMs < 0) {
                result.error = invalidValue(name, v);
            }
        } else if (name == "--count") {
            if (!value(v)) {
                return result;
            }
            if (!parseWhole(v, o.count) || o.count < 0) {
                result.error = invalidValue(name, v);
            }
        } else {
            result.error = "unknown option '" + args[i] + "'";
        }
        if (!result.error.empty()) {
            return result;
        }
    }
    result.error = applyInstrument(o, format);
    return result;
}

std::string usageText() {
    return R"(Usage: virtual-kelvo [options]

A virtual KELVO frequency counter on a pseudo-terminal. It registers the terminal as a COM port
(a link comN in the user port folder, $XDG_DATA_HOME/talvek/ports), prints the COM name and the
device it serves, and answers like the instrument at 9600-baud pacing until Ctrl-C or SIGTERM;
then it removes its link.

Commands it obeys (ESC, letter, optional number, CR; answered "OK", I with the identification
"kelvo FC-3000 V2.1 virtual", an unknown command with "?", a bad number with "ERR"):
  I identify        1 single     r continuous   x stop
  T gate 1 s        t gate 0.1 s A averaging on  a averaging off
  f frequency       p period     o offset from 10 MHz
  d display dump    h Hertz value
  i n transmit every n-th measurement (1..3600)  b n prescaler factor (1..9999)

With --instrument tic it is a time-interval counter instead, like a TAPR TICC stamping a 1 PPS
input: it takes no commands (what it reads goes unanswered) and sends one line per event, each
gate time, at 115200-baud pacing. The phase of the input carries an offset of 50 to 500 ns, white
phase noise of 60 ps and a random-walk frequency. A line is, by --format:
  timestamp  "<t> chA", t in seconds with 12 decimals, one second more each event, whatever the
             gate: 17.000000123456 chA; the phase is t less its whole seconds
  interval   the phase alone in seconds with 12 decimals: 0.000000123456
It refuses --start idle (it always streams) and the formats dump and hertz.

Options:
  --instrument KIND  kelvo (default) or tic
  --com N            register as COMN (1..255); default: the lowest free number from 20 up.
                     A link of that name that points at a live device is never replaced.
  --start MODE       continuous (default) or idle (kelvo only)
  --format FORMAT    dump (32-character display dump, default) or hertz (plain Hertz value);
                     tic: timestamp (default) or interval
  --gate SECONDS     1 (default) or 0.1: one measurement (tic: one event) per gate time
  --log FILE         append every telegram it sent, one per line:
                     seconds<TAB>kind<TAB>value<TAB>text, kind reading/reply/garbage/unplug, value the
                     reading the text stands for (Hz, or seconds in period mode; tic: the
                     phase in seconds) or "-";
                     control and non-ASCII bytes of the text are written as \xNN
  --seed N           seed of the signal noise and fault dice (default: random)
Faults:
  --garbage RATE     chance 0..1 per telegram of 1-12 garbage bytes (noise, control
                     characters, sometimes a CR LF of their own) in front of it
  --split            send each telegram in 2-3 pieces with pauses of 20-80 ms
  --no-delimiter     telegrams without CR LF
  --silence MS       after the first reading go silent for MS ms (nothing sent, commands
                     read only afterwards)
  --line-rate        measuring continuously, one reading right after the other at line
                     speed, whatever the gate: the most the line carries, some 28 display
                     dumps a second at 9600 baud
  --burst FACTOR     send FACTOR times faster than 9600 baud (tic: 115200) and, when
                     measuring continuously, one reading right after the other (1..1000)
  --unplug-after MS  after MS ms close the terminal suddenly, like an unplugged device, and exit
  --count N          send at most N readings, then stop measuring (commands still answered)
  --help             this text
)";
}

} // namespace tools
