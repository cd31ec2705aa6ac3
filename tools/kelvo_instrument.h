// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/command_parser.h"
#include "tools/counter_state.h"
#include "tools/instrument.h"
#include "tools/oscillator.h"

namespace tools {

// The KELVO frequency counter: obeys ESC commands and measures a 10 MHz oscillator at 9600 baud.
class KelvoInstrument : public Instrument {
public:
    KelvoInstrument(const Options& options, std::uint64_t seed);

    double lineBytesPerSecond() const override;
    double gateSeconds() const override { return state_.gateSeconds; }
    Measurement running() const override { return state_.running; }

    std::vector<CommandOutcome> receive(std::string_view bytes) override;
    std::optional<Telegram> measure(double seconds) override;
    void stopMeasuring() override { state_.running = Measurement::Idle; }

private:
    Oscillator oscillator_;
    CommandParser parser_;
    CounterState state_;
    long measurements_ = 0; // since the last start, for the transmit interval
};

} // namespace tools
