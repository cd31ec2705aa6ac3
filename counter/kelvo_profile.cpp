// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/kelvo_profile.h"

#include "counter/telegram_reading.h"

#include <string>

namespace counter {
namespace {

constexpr char kEsc = '\x1b';
constexpr char kCr = '\r';

// In menu order. The counter has one prescaler command; both inputs use it.
// submenu, caption, body, takes a value, separator before, set-up role, setting
constexpr InstrumentCommand kCommands[] = {
    {"Measure", "single", "1", false, false, SetupRole::None, ""},
    {"Measure", "continuous", "r", false, false, SetupRole::Start, ""},
    {"Measure", "stop", "x", false, false, SetupRole::Stop, ""},
    {"Gate Time", "1s", "T", false, false, SetupRole::Gate, "1"},
    {"Gate Time", "0.1s", "t", false, false, SetupRole::Gate, "0.1"},
    {"Average", "ON", "A", false, false, SetupRole::None, ""},
    {"Average", "OFF", "a", false, false, SetupRole::None, ""},
    {"Mode", "Frequency", "f", false, false, SetupRole::Mode, "frequency"},
    {"Mode", "Period", "p", false, false, SetupRole::Mode, "period"},
    {"Mode", "Offset", "o", false, false, SetupRole::Mode, ""},
    {"COM Telegram", "display dump", "d", false, false, SetupRole::Format, "dump"},
    {"COM Telegram", "Hertz value", "h", false, false, SetupRole::Format, "hertz"},
    {"", "Transmit Interval <value>", "i", true, false, SetupRole::None, ""},
    {"Prescaler", "BNC <value>", "b", true, false, SetupRole::None, ""},
    {"Prescaler", "SMA <value>", "b", true, false, SetupRole::None, ""},
    {"", "Info", "I", false, true, SetupRole::None, ""},
};

// The entries of each GateTime and Mode, in the enums' order.
constexpr std::size_t kGateEntries[] = {3, 4};
constexpr std::size_t kModeEntries[] = {7, 8, 9};
static_assert(kCommands[3].body == "T" && kCommands[4].body == "t");
static_assert(kCommands[7].body == "f" && kCommands[8].body == "p" && kCommands[9].body == "o");

} // namespace

bool KelvoProfile::isIdentification(std::string_view telegram) const {
    return counter::isIdentification(std::string(telegram));
}

std::string KelvoProfile::deviceName(std::string_view identification) const {
    return std::string(identification) + "-counter";
}

std::optional<Reading> KelvoProfile::reading(std::string_view telegram) const {
    return readingFromTelegram(std::string(telegram));
}

// The counter answers a command with "OK", refuses it with "?" or "ERR", and answers the
// identify command (also as "Info") with its identification; it says nothing else of its own.
StatusKind KelvoProfile::statusKind(std::string_view telegram) const {
    const bool reply = telegram == "OK" || isRefusal(telegram) || isIdentification(telegram);
    return reply ? StatusKind::Reply : StatusKind::Noise;
}

// The counter's replies to a command it does not know or to a number it does not take.
bool KelvoProfile::isRefusal(std::string_view reply) const {
    return reply == "?" || reply == "ERR";
}

std::span<const InstrumentCommand> KelvoProfile::commands() const {
    return kCommands;
}

std::string KelvoProfile::commandBytes(const InstrumentCommand& command, int value) const {
    std::string bytes = kEsc + std::string(command.body);
    if (command.takesValue) {
        bytes += std::to_string(value);
    }
    return bytes + kCr;
}

std::string KelvoProfile::ownCommandBytes(std::string_view text) const {
    return kEsc + std::string(text) + kCr;
}

const InstrumentCommand& KelvoProfile::command(GateTime gate) {
    return kCommands[kGateEntries[static_cast<std::size_t>(gate)]];
}

const InstrumentCommand& KelvoProfile::command(Mode mode) {
    return kCommands[kModeEntries[static_cast<std::size_t>(mode)]];
}

} // namespace counter
