// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/instrument.h"

#include <cstdint>

namespace counter {

// The KELVO frequency counter: 9600 baud 8N1, telegrams ending in CR LF, commands ESC, a letter,
// an optional number and CR, identified by ESC I CR.
class KelvoProfile : public Instrument {
public:
    enum class GateTime : std::uint8_t { OneSecond, TenthSecond };
    enum class Mode : std::uint8_t { Frequency, Period, Offset };

    std::string_view name() const override { return "kelvo"; }
    std::string_view caption() const override { return "KELVO frequency counter"; }
    platform::LineSettings line() const override { return {}; }
    serial::Delimiter delimiter() const override { return serial::Delimiter::CrLf; }
    int silenceMs() const override { return 1500; }
    std::string_view identifyCommand() const override { return "\x1bI\r"; }
    int identifyTimeoutMs() const override { return 1500; }
    bool isIdentification(std::string_view telegram) const override;
    std::string deviceName(std::string_view identification) const override;
    std::optional<Reading> reading(std::string_view telegram) const override;
    StatusKind statusKind(std::string_view telegram) const override;
    bool isRefusal(std::string_view reply) const override;
    std::span<const InstrumentCommand> commands() const override;
    std::string commandBytes(const InstrumentCommand& command, int value) const override;
    std::string ownCommandBytes(std::string_view text) const override;

    // The table's entries that set a gate time and a mode.
    static const InstrumentCommand& command(GateTime gate);
    static const InstrumentCommand& command(Mode mode);
};

} // namespace counter
