// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/reading_store.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace recording {
namespace {

// The first block starts this small and grows by a quarter up to kBlockReadings, so that a short
// measurement costs little; a later one is made whole at once and never copied, which opening a
// long one needs, so that at most one block (768 KiB, of which the system gives only the pages
// written) stands empty.
constexpr std::size_t kFirstCapacity = 64;
constexpr double kLargestExactInteger = 9007199254740992.0; // 2^53

// The time as whole milliseconds, when it is one exactly (not -0).
bool wholeMs(double timeMs) {
    return std::isfinite(timeMs) && std::abs(timeMs) <= kLargestExactInteger &&
           timeMs == std::trunc(timeMs) && !(timeMs == 0 && std::signbit(timeMs));
}

bool fitsTicks(std::int64_t ms, std::int64_t baseMs) {
    const std::int64_t tick = ms - baseMs;
    return tick >= std::numeric_limits<std::int32_t>::min() &&
           tick <= std::numeric_limits<std::int32_t>::max();
}

} // namespace

ReadingTable::Block::Block(std::size_t capacity, bool wholeMs, std::optional<DecimalScale> scale)
    : capacity(capacity) {
    if (scale) {
        valueTicks = std::make_unique_for_overwrite<std::int32_t[]>(capacity);
        valueScale = *scale;
    } else {
        values = std::make_unique_for_overwrite<double[]>(capacity);
    }
    if (wholeMs) {
        ticks = std::make_unique_for_overwrite<std::int32_t[]>(capacity);
    } else {
        times = std::make_unique_for_overwrite<double[]>(capacity);
    }
}

double ReadingTable::timeMs(std::size_t index) const {
    return blocks_[index / kBlockReadings]->timeMs(index % kBlockReadings);
}

double ReadingTable::value(std::size_t index) const {
    return blocks_[index / kBlockReadings]->value(index % kBlockReadings);
}

analysis::Quantity ReadingTable::quantity(std::size_t index) const {
    const auto after = std::upper_bound(
        quantities_.begin(), quantities_.end(), index,
        [](std::size_t i, const analysis::QuantityRun& run) { return i < run.first; });
    return after == quantities_.begin() ? analysis::Quantity::Frequency : (after - 1)->quantity;
}

analysis::ReadingBlock ReadingTable::block(std::size_t index) const {
    const Block& b = *blocks_[index];
    const std::size_t first = index * kBlockReadings;
    return {.first = first,
            .count = std::min(kBlockReadings, size_ - first),
            .values = b.values.get(),
            .ticks = b.ticks.get(),
            .baseMs = b.baseMs,
            .times = b.times.get(),
            .valueTicks = b.valueTicks.get(),
            .valueBase = b.valueScale.base,
            .valueDivisor = b.valueScale.divisor};
}

std::size_t ReadingTable::memoryBytes() const {
    std::size_t bytes = blocks_.capacity() * sizeof(blocks_[0]) +
                        quantities_.capacity() * sizeof(analysis::QuantityRun) +
                        gaps_.capacity() * sizeof(PlacedGap);
    for (const auto& b : blocks_) {
        bytes +=
            sizeof(Block) + b->capacity * ((b->values ? sizeof(double) : sizeof(std::int32_t)) +
                                           (b->ticks ? sizeof(std::int32_t) : sizeof(double)));
    }
    return bytes;
}

namespace {

// The scale of a block that holds `held` readings of a block with `scale` and then `value`, when
// it needs more places than that for value; none where no scale holds them all.
std::optional<DecimalScale> widenedFor(const DecimalScale& scale, const std::int32_t* ticks,
                                       std::size_t held, double value) {
    const std::optional<DecimalScale> own = DecimalScale::of(value);
    if (!own) {
        return std::nullopt;
    }
    const auto [lowest, highest] = std::minmax_element(ticks, ticks + held);
    const std::optional<DecimalScale> wide = scale.widened(*own, *lowest, *highest);
    return wide && wide->tick(value) ? wide : std::nullopt;
}

} // namespace

ReadingTable::Block& ReadingStore::blockFor(double timeMs, double value, std::int32_t& valueTick) {
    const std::size_t held = size_ % kBlockReadings;
    const bool whole = wholeMs(timeMs);
    if (held == 0) {
        const std::optional<DecimalScale> scale = DecimalScale::of(value);
        blocks_.push_back(std::make_shared<Block>(blocks_.empty() ? kFirstCapacity : kBlockReadings,
                                                  whole, scale));
        if (whole) {
            blocks_.back()->baseMs = static_cast<std::int64_t>(timeMs);
        }
        valueTick = 0;
        return *blocks_.back();
    }
    const Block& last = *blocks_.back();
    const bool asTicks =
        last.ticks && whole && fitsTicks(static_cast<std::int64_t>(timeMs), last.baseMs);
    std::optional<DecimalScale> scale;
    if (last.valueTicks) {
        const std::optional<std::int32_t> tick = last.valueScale.tick(value);
        scale = tick ? last.valueScale
                     : widenedFor(last.valueScale, last.valueTicks.get(), held, value);
        if (tick && held < last.capacity && (asTicks || last.times)) {
            valueTick = *tick;
            return *blocks_.back();
        }
    } else if (held < last.capacity && (asTicks || last.times)) {
        return *blocks_.back();
    }
    // A new block in place of the last: readers of a snapshot keep the one they hold.
    const std::size_t capacity = held < last.capacity
                                     ? last.capacity
                                     : std::min(kBlockReadings, last.capacity + last.capacity / 4);
    auto grown = std::make_shared<Block>(capacity, last.ticks && asTicks, scale);
    if (grown->valueTicks) {
        for (std::size_t i = 0; i < held; ++i) {
            grown->valueTicks[i] = last.valueScale.tickIn(*scale, last.valueTicks[i]);
        }
    } else {
        for (std::size_t i = 0; i < held; ++i) {
            grown->values[i] = last.value(i);
        }
    }
    if (grown->ticks) {
        grown->baseMs = last.baseMs;
        std::copy_n(last.ticks.get(), held, grown->ticks.get());
    } else {
        for (std::size_t i = 0; i < held; ++i) {
            grown->times[i] = last.timeMs(i);
        }
    }
    if (grown->valueTicks) {
        valueTick = *scale->tick(value);
    }
    blocks_.back() = std::move(grown);
    return *blocks_.back();
}

void ReadingStore::append(double timeMs, double value, analysis::Quantity quantity) {
    std::int32_t valueTick = 0;
    Block& b = blockFor(timeMs, value, valueTick);
    const std::size_t i = size_ % kBlockReadings;
    if (b.valueTicks) {
        b.valueTicks[i] = valueTick;
    } else {
        b.values[i] = value;
    }
    if (b.ticks) {
        b.ticks[i] = static_cast<std::int32_t>(static_cast<std::int64_t>(timeMs) - b.baseMs);
    } else {
        b.times[i] = timeMs;
    }
    if (quantities_.empty() || quantities_.back().quantity != quantity) {
        quantities_.push_back({size_, quantity});
    }
    ++size_;
}

void ReadingStore::appendGap(const Gap& gap) {
    gaps_.push_back({size_, gap});
}

void ReadingStore::setQuantity(analysis::Quantity quantity) {
    quantities_.assign(1, {0, quantity});
}

void ReadingStore::clear() {
    *this = ReadingStore();
}

} // namespace recording
