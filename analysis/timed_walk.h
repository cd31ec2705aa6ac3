// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading_source.h"
#include "analysis/timed_values.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <utility>

namespace analysis {

// The readings [first, last) of a source as TimedValues takes them, without storing them: for
// each reading with a finite time stamp, in order, visit(reading, timeMs, value, recordedGap)
// with its usable value (usableValue) and whether a recorded gap precedes it (not on the first).
// Returns whether the readings are phase readings.
template <typename Visit>
bool forEachTimed(const ReadingSource& readings, std::size_t first, std::size_t last,
                  Visit&& visit) {
    const std::span<const QuantityRun> runs = readings.quantityRuns();
    auto run =
        std::upper_bound(runs.begin(), runs.end(), first,
                         [](std::size_t index, const QuantityRun& r) { return index < r.first; });
    Quantity quantity = run == runs.begin() ? Quantity::Frequency : (run - 1)->quantity;
    std::size_t gap = 0; // the first gap not before `first`
    for (std::size_t high = readings.gapCount(); gap < high;) {
        const std::size_t middle = gap + (high - gap) / 2;
        if (readings.gapBefore(middle) < first) {
            gap = middle + 1;
        } else {
            high = middle;
        }
    }
    bool gapPending = false;
    bool any = false;
    bool phase = false;
    constexpr std::size_t kBlock = ReadingSource::kBlockReadings;
    for (std::size_t b = first / kBlock; b * kBlock < last; ++b) {
        const ReadingBlock block = readings.block(b);
        const std::size_t end = std::min(last - block.first, block.count);
        for (std::size_t i = std::max(first, block.first) - block.first; i < end; ++i) {
            const std::size_t reading = block.first + i;
            for (; run != runs.end() && run->first <= reading; ++run) {
                quantity = run->quantity;
            }
            for (; gap < readings.gapCount() && readings.gapBefore(gap) <= reading; ++gap) {
                gapPending = true;
            }
            const double timeMs = block.timeMs(i);
            if (!std::isfinite(timeMs)) {
                continue;
            }
            if (!any) {
                phase = quantity == Quantity::Phase;
            }
            const bool recorded = std::exchange(gapPending, false) && any;
            any = true;
            visit(reading, timeMs, usableValue(block.value(i), quantity, phase), recorded);
        }
    }
    return phase;
}

// The same for readings in a span.
template <typename Visit> bool forEachTimed(std::span<const Reading> readings, Visit&& visit) {
    bool gapPending = false;
    bool any = false;
    bool phase = false;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const Reading& reading = readings[i];
        gapPending = gapPending || reading.gapBefore;
        if (!std::isfinite(reading.timeMs)) {
            continue;
        }
        if (!any) {
            phase = reading.quantity == Quantity::Phase;
        }
        const bool recorded = std::exchange(gapPending, false) && any;
        any = true;
        visit(i, reading.timeMs, usableValue(reading.value, reading.quantity, phase), recorded);
    }
    return phase;
}

} // namespace analysis
