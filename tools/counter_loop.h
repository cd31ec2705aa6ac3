// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/instrument.h"
#include "tools/line_shaper.h"
#include "tools/options.h"
#include "tools/paced_writer.h"
#include "tools/telegram_log.h"
#include "tools/virtual_port.h"

#include <csignal>
#include <cstdint>
#include <deque>
#include <memory>
#include <random>

namespace tools {

// The instrument at work: hands it what comes in, has it measure on time, and sends its
// telegrams at line pace.
class CounterLoop {
public:
    CounterLoop(const Options& options, VirtualPort& port, TelegramLog& log);

    // Runs until `stop` is set (by a signal, delivered only while the loop waits with
    // `waitMask`) or until the unplug time; returns the exit code.
    int run(const volatile std::sig_atomic_t& stop, const sigset_t& waitMask);

private:
    double secondsSinceStart(std::int64_t nowUs) const;
    std::int64_t gateUs() const;
    bool lineBlocked() const;
    bool readingLimitReached() const;
    bool floods() const;
    void serveCommands(std::int64_t nowUs);
    void measure(std::int64_t nowUs);
    void transmit(std::int64_t nowUs);
    std::int64_t nextWakeUs(std::int64_t nowUs, bool& waitForRoom) const;

    const Options& options_;
    VirtualPort& port_;
    TelegramLog& log_;
    std::mt19937_64 random_;
    std::unique_ptr<Instrument> instrument_;
    PacedWriter writer_;
    LineShaper shaper_;

    std::int64_t startUs_ = 0;
    std::int64_t nextMeasurementUs_ = 0;
    long readingsQueued_ = 0;
    long readingsLost_ = 0;
    std::deque<double> queuedValues_; // values of the readings on their way, in order
    bool silenceUsed_ = false;
    std::int64_t silenceUntilUs_ = 0;
};

} // namespace tools
