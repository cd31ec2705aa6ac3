#include "tools/counter_loop.h"

#include "tools/command_handler.h"
#include "tools/telegram_format.h"

#include <algorithm>
#include <chrono>
#include <poll.h>

namespace vkelvo {

namespace {

constexpr double kLineBytesPerSecond = 960; // 9600 baud, ten bits a byte
constexpr std::int64_t kDropBatchUs = 20000;
constexpr std::int64_t kRoomCheckUs = 10000;
constexpr std::int64_t kIdleWakeUs = 1000000;
// A program that keeps the port open without reading fills the terminal; what the counter
// would send beyond this much is lost, as in an overrun, instead of piling up here.
constexpr std::size_t kMaxBacklogBytes = 4096;

std::int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::uint64_t SeedOf(const Options& options) {
    return options.Seed ? *options.Seed : std::random_device{}();
}

} // namespace

CounterLoop::CounterLoop(const Options& options, VirtualPort& port, TelegramLog& log)
    : options_(options), port_(port), log_(log), random_(SeedOf(options)), oscillator_(random_()),
      writer_(kLineBytesPerSecond * options.Burst), shaper_(options, random_) {
    state_.Format = options.Format;
    state_.GateSeconds = options.GateSeconds;
}

double CounterLoop::Seconds(std::int64_t nowUs) const {
    return static_cast<double>(nowUs - startUs_) / 1e6;
}

std::int64_t CounterLoop::GateUs() const {
    return static_cast<std::int64_t>(state_.GateSeconds * 1e6);
}

bool CounterLoop::LineBlocked() const {
    return writer_.Backlog() > kMaxBacklogBytes;
}

bool CounterLoop::ReadingLimitReached() const {
    return options_.Count >= 0 && readingsQueued_ - readingsLost_ >= options_.Count;
}

void CounterLoop::ServeCommands(std::int64_t nowUs) {
    for (const std::string& command : parser_.Feed(port_.Read())) {
        const CommandOutcome outcome = HandleCommand(state_, command);
        if (!LineBlocked()) {
            shaper_.Send(writer_, outcome.Reply, PieceReply);
        }
        if (outcome.RestartMeasurement) {
            measurements_ = 0;
            nextMeasurementUs_ = nowUs + GateUs();
        }
    }
}

void CounterLoop::Measure(std::int64_t nowUs) {
    if (state_.Running == Measurement::Idle) {
        return;
    }
    if (ReadingLimitReached()) {
        state_.Running = Measurement::Idle;
        return;
    }
    const bool flood = options_.Burst > 1 && state_.Running == Measurement::Continuous;
    if (flood ? !writer_.Empty() : nowUs < nextMeasurementUs_) {
        return;
    }
    const double hz = oscillator_.Measure(Seconds(nowUs), state_.GateSeconds, state_.Averaging);
    ++measurements_;
    const bool single = state_.Running == Measurement::Single;
    if ((single || measurements_ % state_.TransmitInterval == 0) && !LineBlocked()) {
        const Telegram telegram = FormatReading(state_, hz, Oscillator::NominalHz);
        queuedValues_.push_back(telegram.Value);
        ++readingsQueued_;
        shaper_.Send(writer_, telegram.Text, PieceReading);
    }
    if (single) {
        state_.Running = Measurement::Idle;
    } else {
        nextMeasurementUs_ += GateUs();
        if (nextMeasurementUs_ <= nowUs) {
            // After a pause (silence) a new gate begins now instead of catching up.
            nextMeasurementUs_ = nowUs + GateUs();
        }
    }
}

void CounterLoop::Transmit(std::int64_t nowUs) {
    const auto finished =
        writer_.Pump(nowUs, [this](std::string_view bytes) { return port_.Write(bytes); });
    for (const PacedWriter::Finished& piece : finished) {
        if (piece.Tag == PieceReading) {
            const double value = queuedValues_.front();
            queuedValues_.pop_front();
            if (!piece.Delivered) {
                ++readingsLost_;
                continue;
            }
            log_.Write(Seconds(nowUs), "reading", value, piece.Note);
            if (options_.SilenceMs > 0 && !silenceUsed_) {
                silenceUsed_ = true;
                silenceUntilUs_ = nowUs + std::int64_t{options_.SilenceMs} * 1000;
            }
        } else if (piece.Delivered && piece.Tag != PieceNone) {
            log_.Write(Seconds(nowUs), piece.Tag == PieceReply ? "reply" : "garbage", std::nullopt,
                       piece.Note);
        }
    }
}

std::int64_t CounterLoop::NextWakeUs(std::int64_t nowUs, bool& waitForRoom) const {
    std::int64_t wake = nowUs + kIdleWakeUs;
    if (!port_.Listening()) {
        // Nobody to pace for: what falls due meanwhile is dropped in one go.
        wake = nowUs + kDropBatchUs;
    } else if (nowUs < silenceUntilUs_) {
        wake = std::min(wake, silenceUntilUs_);
    } else {
        if (const auto due = writer_.NextDueUs(nowUs)) {
            if (*due <= nowUs) {
                waitForRoom = true; // the line is full: wait until the reader makes room
                wake = std::min(wake, nowUs + kRoomCheckUs);
            } else {
                wake = std::min(wake, *due);
            }
        }
        if (state_.Running != Measurement::Idle && !ReadingLimitReached()) {
            const bool flood = options_.Burst > 1 && state_.Running == Measurement::Continuous;
            if (!flood) {
                wake = std::min(wake, nextMeasurementUs_);
            } else if (writer_.Empty()) {
                wake = nowUs;
            }
        }
    }
    if (options_.UnplugAfterMs >= 0) {
        wake = std::min(wake, startUs_ + std::int64_t{options_.UnplugAfterMs} * 1000);
    }
    return std::max(wake, nowUs);
}

int CounterLoop::Run(const volatile std::sig_atomic_t& stop, const sigset_t& waitMask) {
    startUs_ = NowUs();
    if (options_.StartContinuous) {
        state_.Running = Measurement::Continuous;
        nextMeasurementUs_ = startUs_ + GateUs();
    }
    while (!stop) {
        const std::int64_t now = NowUs();
        if (options_.UnplugAfterMs >= 0 &&
            now >= startUs_ + std::int64_t{options_.UnplugAfterMs} * 1000) {
            port_.Unplug();
            log_.Write(Seconds(now), "unplug", std::nullopt, "");
            return 0;
        }
        if (now >= silenceUntilUs_) {
            ServeCommands(now);
            // After the read: whoever sent a command opened the line before, so the answer
            // finds its listener counted.
            port_.UpdateListeners();
            Measure(now);
            Transmit(now);
        }
        bool waitForRoom = false;
        const std::int64_t wake = NextWakeUs(NowUs(), waitForRoom);
        pollfd watch[2] = {{port_.WatchFd(), POLLIN, 0}, {port_.MasterFd(), 0, 0}};
        if (NowUs() >= silenceUntilUs_) {
            watch[1].events = static_cast<short>(POLLIN | (waitForRoom ? POLLOUT : 0));
        }
        const std::int64_t waitUs = std::max<std::int64_t>(0, wake - NowUs());
        const timespec timeout{static_cast<time_t>(waitUs / 1000000),
                               static_cast<long>(waitUs % 1000000) * 1000};
        ::ppoll(watch, watch[1].events ? 2 : 1, &timeout, &waitMask);
        port_.UpdateListeners();
    }
    return 0;
}

} // namespace vkelvo
