// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/reading.h"
#include "platform/line_settings.h"
#include "serial/serial_types.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace counter {

// What a command does when a recording sets the instrument up.
enum class SetupRole : std::uint8_t {
    None,   // not part of a set-up
    Stop,   // stops a measurement under way
    Gate,   // a gate time, in seconds
    Mode,   // what is measured
    Format, // the telegram's format
    Start,  // starts continuous measurement
};

// One command of an instrument, as its menu shows it and its line takes it.
struct InstrumentCommand {
    std::string_view submenu; // the submenu that holds the entry; empty for the menu itself
    std::string_view caption;
    // What goes on the line, before the instrument frames it (Instrument::commandBytes); for a
    // command that takes a value, what comes before the number.
    std::string_view body;
    bool takesValue = false;
    bool separatorBefore = false; // in the menu
    SetupRole role = SetupRole::None;
    // The set-up value that names this command ("1", "0.1", "frequency", "dump"); empty for none.
    std::string_view setting;
};

// What a telegram that is no reading is.
enum class StatusKind : std::uint8_t {
    Reply,   // the instrument's answer to a command: it ends the command's reply wait
    Message, // something the instrument says of its own: shown and journalled, no reply
    Noise,   // nothing the instrument says: line noise, counted and left out
};

// An instrument profile: everything the program knows of one kind of instrument. Drivers, menus
// and the command line read it; nothing else in the program depends on the instrument. Profiles
// are listed in counter/instruments.cpp.
class Instrument {
public:
    virtual ~Instrument() = default;

    // The word that names the profile on the command line and in the instrument file: "kelvo".
    virtual std::string_view name() const = 0;
    // For the user: "KELVO frequency counter".
    virtual std::string_view caption() const = 0;

    virtual platform::LineSettings line() const = 0;
    virtual serial::Delimiter delimiter() const = 0;
    // How long the line may stay silent before a command's reply wait ends unanswered.
    virtual int silenceMs() const = 0;

    // The bytes that ask the instrument who it is; empty when it is asked nothing and tells
    // itself by what it sends anyway.
    virtual std::string_view identifyCommand() const = 0;
    // How long a connect waits for the identification.
    virtual int identifyTimeoutMs() const = 0;
    virtual bool isIdentification(std::string_view telegram) const = 0;
    // The device name the connection shows for an identification telegram.
    virtual std::string deviceName(std::string_view identification) const = 0;

    // The reading in a telegram of the connected instrument; nothing for a telegram that is
    // none. Where the telegram's layout shows line noise glued in front of a reading, the
    // reading is taken from behind it and its `telegram` is the part that is the instrument's.
    virtual std::optional<Reading> reading(std::string_view telegram) const = 0;
    // What a telegram that is no reading is. Only what the profile recognises as a reply is
    // one: a short line of noise must never pass for the answer to a command.
    virtual StatusKind statusKind(std::string_view telegram) const = 0;
    // A status telegram that refuses the command before it.
    virtual bool isRefusal(std::string_view reply) const = 0;

    // The commands in menu order; empty for an instrument that takes none.
    virtual std::span<const InstrumentCommand> commands() const = 0;
    // The bytes of a command of the table, with its value where it takes one.
    virtual std::string commandBytes(const InstrumentCommand& command, int value) const = 0;
    // The bytes of a command the user typed, as the instrument frames it.
    virtual std::string ownCommandBytes(std::string_view text) const = 0;
};

// The command of `instrument` with that set-up role and setting, if it has one.
const InstrumentCommand* findCommand(const Instrument& instrument, SetupRole role,
                                     std::string_view setting = {});

} // namespace counter
