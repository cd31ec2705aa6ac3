// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/instrument.h"

namespace counter {

// A time-interval counter that streams one reading per line and takes no commands, such as the
// TAPR TICC: 115200 baud 8N1. Its readings are phase data in seconds:
//   "<t> chA"          a time stamp of channel A on the counter's own time scale, t in seconds
//                      with 11 or 12 decimals, of a 1 PPS input: the reading is its time error
//                      against the whole second, t - round(t)
//   "<x>", "<x> TI(A->B)"  a time interval in seconds (interval mode): the reading is x
// Other lines (channel B, the "#" lines of its start-up) are status telegrams. It is asked
// nothing: the first reading line tells it is there.
class TicProfile : public Instrument {
public:
    std::string_view name() const override { return "tic"; }
    std::string_view caption() const override { return "time-interval counter (TICC)"; }
    platform::LineSettings line() const override { return {.baud = 115200}; }
    serial::Delimiter delimiter() const override { return serial::Delimiter::Lf; }
    int silenceMs() const override { return 1500; }
    std::string_view identifyCommand() const override { return {}; }
    // A line a second, and the first one after the port opens may be cut short.
    int identifyTimeoutMs() const override { return 2500; }
    bool isIdentification(std::string_view telegram) const override;
    std::string deviceName(std::string_view identification) const override;
    std::optional<Reading> reading(std::string_view telegram) const override;
    // It answers nothing; its other lines are its own messages.
    StatusKind statusKind(std::string_view) const override { return StatusKind::Message; }
    bool isRefusal(std::string_view) const override { return false; }
    std::span<const InstrumentCommand> commands() const override { return {}; }
    std::string commandBytes(const InstrumentCommand&, int) const override { return {}; }
    std::string ownCommandBytes(std::string_view) const override { return {}; }
};

} // namespace counter
