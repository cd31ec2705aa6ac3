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

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    ParsedOptions result;
    Options& o = result.values;
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
        } else if (name == "--split" || name == "--no-delimiter") {
            if (!flag()) {
                return result;
            }
            (name == "--split" ? o.split : o.noDelimiter) = true;
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
        } else if (name == "--format") {
            if (!value(v)) {
                return result;
            }
            if (v == "dump" || v == "hertz") {
                o.format = v == "dump" ? TelegramFormat::Dump : TelegramFormat::Hertz;
            } else {
                result.error = invalidValue(name, v) + " (dump or hertz)";
            }
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

Options:
  --com N            register as COMN (1..255); default: the lowest free number from 20 up.
                     A link of that name that points at a live device is never replaced.
  --start MODE       continuous (default) or idle
  --format FORMAT    dump (32-character display dump, default) or hertz (plain Hertz value)
  --gate SECONDS     1 (default) or 0.1: one measurement per gate time
  --log FILE         append every telegram it sent, one per line:
                     seconds<TAB>kind<TAB>value<TAB>text, kind reading/reply/garbage/unplug, value the
                     reading the text stands for (Hz, or seconds in period mode) or "-";
                     control and non-ASCII bytes of the text are written as \xNN
  --seed N           seed of the signal noise and fault dice (default: random)
Faults:
  --garbage RATE     chance 0..1 per telegram of 1-12 garbage bytes (noise, control
                     characters, sometimes a CR LF of their own) in front of it
  --split            send each telegram in 2-3 pieces with pauses of 20-80 ms
  --no-delimiter     telegrams without CR LF
  --silence MS       after the first reading go silent for MS ms (nothing sent, commands
                     read only afterwards)
  --burst FACTOR     send FACTOR times faster than 9600 baud and, when measuring
                     continuously, one reading right after the other (1..1000)
  --unplug-after MS  after MS ms close the terminal suddenly, like an unplugged device, and exit
  --count N          send at most N readings, then stop measuring (commands still answered)
  --help             this text
)";
}

} // namespace tools
