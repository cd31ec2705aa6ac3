// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/command_handler.h"
#include "tools/counter_state.h"
#include "tools/options.h"
#include "tools/telegram_format.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace tools {

// The instrument the loop stands in for: what it answers, how it measures and how fast its line
// is. The loop does the timing, the line and the faults.
class Instrument {
public:
    virtual ~Instrument() = default;

    // Bytes per second its serial line carries.
    virtual double lineBytesPerSecond() const = 0;
    virtual double gateSeconds() const = 0;
    virtual Measurement running() const = 0;

    // Takes the bytes a program sent; returns the answers, in order.
    virtual std::vector<CommandOutcome> receive(std::string_view bytes) = 0;
    // Measures once, the gate ending `seconds` after the start; returns the telegram when this
    // measurement is sent.
    virtual std::optional<Telegram> measure(double seconds) = 0;
    // It has sent all the readings it may: it measures no more until told to.
    virtual void stopMeasuring() = 0;
};

// The instrument the options ask for, its noise drawn from `seed`.
std::unique_ptr<Instrument> makeInstrument(const Options& options, std::uint64_t seed);

} // namespace tools
