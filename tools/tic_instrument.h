// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/instrument.h"
#include "tools/phase_noise.h"

namespace tools {

// A time-interval counter stamping a 1 PPS input, one line per event at 115200 baud. It takes
// no commands: what it reads is dropped unanswered.
class TicInstrument : public Instrument {
public:
    TicInstrument(const Options& options, std::uint64_t seed);

    double lineBytesPerSecond() const override;
    double gateSeconds() const override { return gateSeconds_; }
    Measurement running() const override;

    std::vector<CommandOutcome> receive(std::string_view bytes) override;
    std::optional<Telegram> measure(double seconds) override;
    void stopMeasuring() override { stopped_ = true; }

private:
    PhaseNoise phase_;
    TicFormat format_;
    double gateSeconds_;
    std::int64_t events_ = 0;
    bool stopped_ = false;
};

} // namespace tools
