// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/counter_loop.h"

#include <algorithm>
#include <chrono>
#include <poll.h>

namespace tools {

namespace {

constexpr std::int64_t kDropBatchUs = 20000;
constexpr std::int64_t kRoomCheckUs = 10000;
constexpr std::int64_t kIdleWakeUs = 1000000;
// A program that keeps the port open without reading fills the terminal; what the counter
// would send beyond this much is lost, as in an overrun, instead of piling up here.
constexpr std::size_t kMaxBacklogBytes = 4096;

std::int64_t steadyClockUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::uint64_t seedOf(const Options& options) {
    return options.seed ? *options.seed : std::random_device{}();
}

} // namespace

CounterLoop::CounterLoop(const Options& options, VirtualPort& port, TelegramLog& log)
    : options_(options), port_(port), log_(log), random_(seedOf(options)),
      instrument_(makeInstrument(options, random_())),
      writer_(instrument_->lineBytesPerSecond() * options.burst), shaper_(options, random_) {}

double CounterLoop::secondsSinceStart(std::int64_t nowUs) const {
    return static_cast<double>(nowUs - startUs_) / 1e6;
}

std::int64_t CounterLoop::gateUs() const {
    return static_cast<std::int64_t>(instrument_->gateSeconds() * 1e6);
}

bool CounterLoop::lineBlocked() const {
    return writer_.backlog() > kMaxBacklogBytes;
}

bool CounterLoop::readingLimitReached() const {
    return options_.count >= 0 && readingsQueued_ - readingsLost_ >= options_.count;
}

bool CounterLoop::floods() const {
    return (options_.lineRate || options_.burst > 1) &&
           instrument_->running() == Measurement::Continuous;
}

void CounterLoop::serveCommands(std::int64_t nowUs) {
    for (const CommandOutcome& outcome : instrument_->receive(port_.read())) {
        if (!lineBlocked()) {
            shaper_.send(writer_, outcome.reply, PieceReply);
        }
        if (outcome.restartMeasurement) {
            nextMeasurementUs_ = nowUs + gateUs();
        }
    }
}

void CounterLoop::measure(std::int64_t nowUs) {
    if (instrument_->running() == Measurement::Idle) {
        return;
    }
    if (readingLimitReached()) {
        instrument_->stopMeasuring();
        return;
    }
    if (floods() ? !writer_.empty() : nowUs < nextMeasurementUs_) {
        return;
    }
    const std::optional<Telegram> telegram = instrument_->measure(secondsSinceStart(nowUs));
    if (telegram && !lineBlocked()) {
        queuedValues_.push_back(telegram->value);
        ++readingsQueued_;
        shaper_.send(writer_, telegram->text, PieceReading);
    }
    if (instrument_->running() != Measurement::Idle) {
        nextMeasurementUs_ += gateUs();
        if (nextMeasurementUs_ <= nowUs) {
            // After a pause (silence) a new gate begins now instead of catching up.
            nextMeasurementUs_ = nowUs + gateUs();
        }
    }
}

void CounterLoop::transmit(std::int64_t nowUs) {
    const auto finished =
        writer_.pump(nowUs, [this](std::string_view bytes) { return port_.write(bytes); });
    for (const PacedWriter::Finished& piece : finished) {
        if (piece.tag == PieceReading) {
            const double value = queuedValues_.front();
            queuedValues_.pop_front();
            if (!piece.delivered) {
                ++readingsLost_;
                continue;
            }
            log_.write(secondsSinceStart(nowUs), "reading", value, piece.note);
            if (options_.silenceMs > 0 && !silenceUsed_) {
                silenceUsed_ = true;
                silenceUntilUs_ = nowUs + std::int64_t{options_.silenceMs} * 1000;
            }
        } else if (piece.delivered && piece.tag != PieceNone) {
            log_.write(secondsSinceStart(nowUs), piece.tag == PieceReply ? "reply" : "garbage",
                       std::nullopt, piece.note);
        }
    }
}

std::int64_t CounterLoop::nextWakeUs(std::int64_t nowUs, bool& waitForRoom) const {
    std::int64_t wake = nowUs + kIdleWakeUs;
    if (!port_.listening()) {
        // Nobody to pace for: what falls due meanwhile is dropped in one go.
        wake = nowUs + kDropBatchUs;
    } else if (nowUs < silenceUntilUs_) {
        wake = std::min(wake, silenceUntilUs_);
    } else {
        if (const auto due = writer_.nextDueUs(nowUs)) {
            if (*due <= nowUs) {
                waitForRoom = true; // the line is full: wait until the reader makes room
                wake = std::min(wake, nowUs + kRoomCheckUs);
            } else {
                wake = std::min(wake, *due);
            }
        }
        if (instrument_->running() != Measurement::Idle && !readingLimitReached()) {
            if (!floods()) {
                wake = std::min(wake, nextMeasurementUs_);
            } else if (writer_.empty()) {
                wake = nowUs;
            }
        }
    }
    if (options_.unplugAfterMs >= 0) {
        wake = std::min(wake, startUs_ + std::int64_t{options_.unplugAfterMs} * 1000);
    }
    return std::max(wake, nowUs);
}

int CounterLoop::run(const volatile std::sig_atomic_t& stop, const sigset_t& waitMask) {
    startUs_ = steadyClockUs();
    if (instrument_->running() != Measurement::Idle) {
        nextMeasurementUs_ = startUs_ + gateUs();
    }
    while (!stop) {
        const std::int64_t now = steadyClockUs();
        if (options_.unplugAfterMs >= 0 &&
            now >= startUs_ + std::int64_t{options_.unplugAfterMs} * 1000) {
            port_.unplug();
            log_.write(secondsSinceStart(now), "unplug", std::nullopt, "");
            return 0;
        }
        if (now >= silenceUntilUs_) {
            serveCommands(now);
            // After the read: whoever sent a command opened the line before, so the answer
            // finds its listener counted.
            port_.updateListeners();
            measure(now);
            transmit(now);
        }
        bool waitForRoom = false;
        const std::int64_t wake = nextWakeUs(steadyClockUs(), waitForRoom);
        pollfd watch[2] = {{port_.watchFd(), POLLIN, 0}, {port_.masterFd(), 0, 0}};
        if (steadyClockUs() >= silenceUntilUs_) {
            watch[1].events = static_cast<short>(POLLIN | (waitForRoom ? POLLOUT : 0));
        }
        const std::int64_t waitUs = std::max<std::int64_t>(0, wake - steadyClockUs());
        const timespec timeout{static_cast<time_t>(waitUs / 1000000),
                               static_cast<long>(waitUs % 1000000) * 1000};
        ::ppoll(watch, watch[1].events ? 2 : 1, &timeout, &waitMask);
        port_.updateListeners();
    }
    return 0;
}

} // namespace tools
