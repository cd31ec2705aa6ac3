// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace analysis {

// What the readings from a reading on measure, up to the next run.
struct QuantityRun {
    std::size_t first = 0;
    Quantity quantity = Quantity::Frequency;
};

// A block of readings in columns: `count` readings from reading `first` on. A time stamp is
// baseMs + ticks[i] (whole milliseconds, 4 bytes each) or, in a block that has them, times[i]. A
// value is values[i] or, in a block without them, (valueBase + valueTicks[i]) / valueDivisor *
// valueFactor: a whole number of the value's last decimal place from a whole base (their sum
// exact, within 2^53) divided by a power of ten, times its unit's factor, which gives the value
// exactly as it was read.
struct ReadingBlock {
    std::size_t first = 0;
    std::size_t count = 0;
    const double* values = nullptr;
    const std::int32_t* ticks = nullptr;
    std::int64_t baseMs = 0;
    const double* times = nullptr;
    const std::int32_t* valueTicks = nullptr;
    double valueBase = 0;
    double valueDivisor = 1;
    double valueFactor = 1;

    double timeMs(std::size_t i) const {
        return times != nullptr ? times[i] : static_cast<double>(baseMs + ticks[i]);
    }
    double value(std::size_t i) const {
        return values != nullptr ? values[i]
                                 : (valueBase + valueTicks[i]) / valueDivisor * valueFactor;
    }
};

// Readings kept elsewhere (the window's store of a measurement), read a block at a time: block b
// holds the readings from b * kBlockReadings on, every block but the last full. Readings are only
// ever added. The analysis reads them as it would the same Readings in a span: each reading's
// quantity from the runs, gapBefore on the readings a recorded gap precedes.
class ReadingSource {
public:
    static constexpr std::size_t kBlockReadings = std::size_t{1} << 16;

    virtual ~ReadingSource() = default;
    virtual std::size_t size() const = 0;
    virtual ReadingBlock block(std::size_t index) const = 0;
    // Ascending; readings before the first run are frequencies.
    virtual std::span<const QuantityRun> quantityRuns() const = 0;
    // The recorded gaps, each as the reading it precedes, ascending (the number of readings for
    // one after the last reading).
    virtual std::size_t gapCount() const = 0;
    virtual std::size_t gapBefore(std::size_t gap) const = 0;

    std::size_t blockCount() const { return (size() + kBlockReadings - 1) / kBlockReadings; }
};

} // namespace analysis
