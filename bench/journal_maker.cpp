// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/journal_maker.h"

#include "counter/telegram_reading.h"
#include "platform/clock.h"
#include "recording/journal_encoder.h"
#include "tools/counter_state.h"
#include "tools/oscillator.h"
#include "tools/telegram_format.h"

#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace bench {
namespace {

// The counter's signal repeats after this many telegrams; the journal's bytes per reading are
// those of the real line all the same.
constexpr std::size_t kDistinctTelegrams = 100'000;
constexpr std::int64_t kLinePeriodMs = 36;
constexpr std::size_t kFlushBytes = std::size_t{1} << 22;

struct Telegram {
    std::string text;
    std::string unit;
    double value = 0;
};

std::vector<Telegram> lineTelegrams() {
    tools::CounterState state;
    state.format = tools::TelegramFormat::Dump;
    state.gateSeconds = 0.1;
    tools::Oscillator oscillator(4711);
    std::vector<Telegram> telegrams(kDistinctTelegrams);
    for (std::size_t i = 0; i < kDistinctTelegrams; ++i) {
        const double hz = oscillator.measure(static_cast<double>(i + 1) * state.gateSeconds,
                                             state.gateSeconds, false);
        Telegram& t = telegrams[i];
        t.text = tools::formatReading(state, hz, tools::Oscillator::kNominalHz).text;
        const counter::Reading reading = *counter::readingFromTelegram(t.text);
        t.value = reading.value;
        t.unit = reading.unitText;
    }
    return telegrams;
}

// The arrival times: every line period, or floods of 1 to 40 readings 0 or 1 ms apart, each
// flood as long after the one before as its readings would have taken at line rate.
class ArrivalClock {
public:
    explicit ArrivalClock(LineShape shape) : shape_(shape), random_(17) {}

    std::int64_t next() {
        if (shape_ == LineShape::Even) {
            return nowMs_ += kLinePeriodMs;
        }
        if (leftInFlood_ == 0) {
            leftInFlood_ = std::uniform_int_distribution<int>(1, 40)(random_);
            floodStartMs_ += kLinePeriodMs * leftInFlood_;
            nowMs_ = floodStartMs_;
        }
        --leftInFlood_;
        return nowMs_ += std::uniform_int_distribution<int>(0, 1)(random_);
    }

private:
    LineShape shape_;
    std::mt19937 random_;
    std::int64_t nowMs_ = 0;
    std::int64_t floodStartMs_ = 0;
    int leftInFlood_ = 0;
};

} // namespace

std::string makeJournal(const std::string& path, std::int64_t readings, LineShape shape) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wbx"),
                                                               std::fclose);
    if (!file) {
        return "cannot make " + path;
    }
    const std::vector<Telegram> telegrams = lineTelegrams();
    constexpr double kMsPerDay = 86'400'000;
    const double startDays =
        platform::nowDateTime() - static_cast<double>(readings * kLinePeriodMs) / kMsPerDay;
    std::string bytes = recording::JournalEncoder::header({startDays, "COM20", "kelvo"});
    recording::JournalEncoder encoder;
    ArrivalClock clock(shape);
    for (std::int64_t i = 0; i < readings; ++i) {
        const Telegram& t = telegrams[static_cast<std::size_t>(i) % telegrams.size()];
        encoder.addReading(bytes, static_cast<double>(clock.next()), t.value, t.unit, t.text);
        if (bytes.size() >= kFlushBytes) {
            if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
                return "cannot write " + path;
            }
            bytes.clear();
        }
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return "cannot write " + path;
    }
    return {};
}

} // namespace bench
