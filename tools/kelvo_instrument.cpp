// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/kelvo_instrument.h"

namespace tools {

namespace {
constexpr double kLineBytesPerSecond = 960; // 9600 baud, ten bits a byte
} // namespace

KelvoInstrument::KelvoInstrument(const Options& options, std::uint64_t seed) : oscillator_(seed) {
    state_.running = options.startContinuous ? Measurement::Continuous : Measurement::Idle;
    state_.format = options.format;
    state_.gateSeconds = options.gateSeconds;
}

double KelvoInstrument::lineBytesPerSecond() const {
    return kLineBytesPerSecond;
}

std::vector<CommandOutcome> KelvoInstrument::receive(std::string_view bytes) {
    std::vector<CommandOutcome> outcomes;
    for (const std::string& command : parser_.feed(bytes)) {
        outcomes.push_back(handleCommand(state_, command));
        if (outcomes.back().restartMeasurement) {
            measurements_ = 0;
        }
    }
    return outcomes;
}

std::optional<Telegram> KelvoInstrument::measure(double seconds) {
    const double hz = oscillator_.measure(seconds, state_.gateSeconds, state_.averaging);
    ++measurements_;
    const bool single = state_.running == Measurement::Single;
    if (single) {
        state_.running = Measurement::Idle;
    } else if (measurements_ % state_.transmitInterval != 0) {
        return std::nullopt;
    }
    return formatReading(state_, hz, Oscillator::kNominalHz);
}

} // namespace tools
