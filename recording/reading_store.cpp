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

ReadingTable::Block::Block(std::size_t capacity, bool wholeMs)
    : capacity(capacity), values(std::make_unique_for_overwrite<double[]>(capacity)) {
    if (wholeMs) {
        ticks = std::make_unique_for_overwrite<std::int32_t[]>(capacity);
    } else {
        times = std::make_unique_for_overwrite<double[]>(capacity);
    }
}

double ReadingTable::timeMs(std::size_t index) const {
    const Block& b = *blocks_[index / kBlockReadings];
    const std::size_t i = index % kBlockReadings;
    return b.times ? b.times[i] : static_cast<double>(b.baseMs + b.ticks[i]);
}

double ReadingTable::value(std::size_t index) const {
    return blocks_[index / kBlockReadings]->values[index % kBlockReadings];
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
    return {first,          std::min(kBlockReadings, size_ - first),
            b.values.get(), b.ticks.get(),
            b.baseMs,       b.times.get()};
}

std::size_t ReadingTable::memoryBytes() const {
    std::size_t bytes = blocks_.capacity() * sizeof(blocks_[0]) +
                        quantities_.capacity() * sizeof(analysis::QuantityRun) +
                        gaps_.capacity() * sizeof(PlacedGap);
    for (const auto& b : blocks_) {
        bytes += sizeof(Block) + b->capacity * (sizeof(double) +
                                                (b->ticks ? sizeof(std::int32_t) : sizeof(double)));
    }
    return bytes;
}

ReadingTable::Block& ReadingStore::blockFor(double timeMs) {
    const std::size_t held = size_ % kBlockReadings;
    const bool whole = wholeMs(timeMs);
    if (held == 0) {
        blocks_.push_back(
            std::make_shared<Block>(blocks_.empty() ? kFirstCapacity : kBlockReadings, whole));
        if (whole) {
            blocks_.back()->baseMs = static_cast<std::int64_t>(timeMs);
        }
        return *blocks_.back();
    }
    const Block& last = *blocks_.back();
    const bool asTicks =
        last.ticks && whole && fitsTicks(static_cast<std::int64_t>(timeMs), last.baseMs);
    if (held < last.capacity && (asTicks || last.times)) {
        return *blocks_.back();
    }
    // A new block in place of the last: readers of a snapshot keep the one they hold.
    const std::size_t capacity = held < last.capacity
                                     ? last.capacity
                                     : std::min(kBlockReadings, last.capacity + last.capacity / 4);
    auto grown = std::make_shared<Block>(capacity, last.ticks && asTicks);
    std::copy_n(last.values.get(), held, grown->values.get());
    if (grown->ticks) {
        grown->baseMs = last.baseMs;
        std::copy_n(last.ticks.get(), held, grown->ticks.get());
    } else {
        for (std::size_t i = 0; i < held; ++i) {
            grown->times[i] =
                last.times ? last.times[i] : static_cast<double>(last.baseMs + last.ticks[i]);
        }
    }
    blocks_.back() = std::move(grown);
    return *blocks_.back();
}

void ReadingStore::append(double timeMs, double value, analysis::Quantity quantity) {
    Block& b = blockFor(timeMs);
    const std::size_t i = size_ % kBlockReadings;
    b.values[i] = value;
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
