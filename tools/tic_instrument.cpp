// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/tic_instrument.h"

#include "tools/tic_format.h"

namespace tools {

namespace {
constexpr double kLineBytesPerSecond = 11520; // 115200 baud, ten bits a byte
} // namespace

TicInstrument::TicInstrument(const Options& options, std::uint64_t seed)
    : phase_(seed), format_(options.ticFormat), gateSeconds_(options.gateSeconds) {}

double TicInstrument::lineBytesPerSecond() const {
    return kLineBytesPerSecond;
}

Measurement TicInstrument::running() const {
    return stopped_ ? Measurement::Idle : Measurement::Continuous;
}

std::vector<CommandOutcome> TicInstrument::receive(std::string_view) {
    return {};
}

// The stamps advance a second per event on the counter's own scale, whatever pace the events
// come at in real time.
std::optional<Telegram> TicInstrument::measure(double) {
    ++events_;
    const double phaseS = phase_.next();
    return format_ == TicFormat::Timestamp ? ticTimestamp(events_, phaseS) : ticInterval(phaseS);
}

} // namespace tools
