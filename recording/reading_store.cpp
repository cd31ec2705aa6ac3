// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/reading_store.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

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
            .valueDivisor = b.valueScale.divisor,
            .valueFactor = b.valueScale.factor};
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

// The scale with this factor, and the fewest places from `divisor` on, that holds the `held`
// values heldValue(i) and `value`, their ticks written to `ticks`; none where no places do.
template <typename HeldValue>
std::optional<DecimalScale> rescaled(HeldValue heldValue, std::size_t held, double value,
                                     double factor, double divisor, std::int32_t* ticks) {
    for (;;) {
        const std::optional<DecimalScale> scale = DecimalScale::of(value, factor, divisor);
        if (!scale) {
            return std::nullopt;
        }
        std::size_t i = 0;
        for (; i < held; ++i) {
            const std::optional<std::int32_t> tick = scale->tick(heldValue(i));
            if (!tick) {
                break;
            }
            ticks[i] = *tick;
        }
        if (i == held) {
            return scale;
        }
        // More places, where value i needs them; else it lies too far from value.
        const std::optional<DecimalScale> needed =
            DecimalScale::of(heldValue(i), factor, scale->divisor);
        if (!needed || needed->divisor == scale->divisor) {
            return std::nullopt;
        }
        divisor = needed->divisor;
    }
}

} // namespace

ReadingTable::Block& ReadingStore::blockFor(double timeMs, double value, std::int32_t& valueTick) {
    const std::size_t held = size_ % kBlockReadings;
    const bool whole = wholeMs(timeMs);
    if (held == 0) {
        // The scale of the block before where it holds the value: its unit, its places.
        std::optional<DecimalScale> scale;
        if (!blocks_.empty() && blocks_.back()->valueTicks) {
            const DecimalScale& before = blocks_.back()->valueScale;
            scale = DecimalScale::of(value, before.factor, before.divisor);
        }
        scale = scale ? scale : DecimalScale::of(value);
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
    std::optional<std::int32_t> tick;
    if (last.valueTicks) {
        tick = last.valueScale.tick(value);
    }
    if (held < last.capacity && (asTicks || last.times) && (last.values || tick)) {
        valueTick = tick.value_or(0);
        return *blocks_.back();
    }
    // A new block in place of the last: readers of a snapshot keep the one they hold.
    const std::size_t capacity = held < last.capacity
                                     ? last.capacity
                                     : std::min(kBlockReadings, last.capacity + last.capacity / 4);
    auto grown =
        std::make_shared<Block>(capacity, last.ticks && asTicks,
                                last.values ? std::nullopt : std::optional(last.valueScale));
    if (tick) {
        std::copy_n(last.valueTicks.get(), held, grown->valueTicks.get());
        valueTick = *tick;
    } else if (grown->valueTicks) {
        // The block's own factor first, at least at its places, then the other units'.
        const auto heldValue = [&last](std::size_t i) { return last.value(i); };
        std::optional<DecimalScale> scale =
            rescaled(heldValue, held, value, last.valueScale.factor, last.valueScale.divisor,
                     grown->valueTicks.get());
        for (const double factor : DecimalScale::kUnitFactors) {
            if (!scale && factor != last.valueScale.factor) {
                scale = rescaled(heldValue, held, value, factor, 1, grown->valueTicks.get());
            }
        }
        if (scale) {
            grown->valueScale = *scale;
            valueTick = *scale->tick(value);
        } else {
            grown->valueTicks.reset();
            grown->values = std::make_unique_for_overwrite<double[]>(capacity);
        }
    }
    if (grown->values) {
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
