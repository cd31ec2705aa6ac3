// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading_source.h"
#include "recording/decimal_scale.h"
#include "recording/gap.h"
#include "recording/measurement_file.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace recording {

// A gap of a recording and where it lies among its readings: before reading beforeReading, or
// after the last one where that is the number of readings.
struct PlacedGap {
    std::size_t beforeReading = 0;
    Gap gap;
};

// The readings of one measurement as every view reads them: the log, the graph, the analysis and
// the export. Time stamps and values are kept once, in blocks of kBlockReadings: a value in 4
// bytes where its block's values have a few decimal places (a counter's readings do), else in 8,
// either way exactly as read; a time stamp in 4 bytes where it is whole milliseconds (every
// arrival time is), else in 8. Beside them the runs of their quantity and the recorded gaps.
//
// A table never changes what it holds: a snapshot of a ReadingStore may be read on another
// thread while the store takes more readings, as a block it shares is only ever written beyond
// the readings the snapshot holds, and one that must grow or change a column is replaced in the
// store by a new one.
class ReadingTable : public analysis::ReadingSource {
public:
    std::size_t size() const override { return size_; }
    bool empty() const { return size_ == 0; }
    double timeMs(std::size_t index) const;
    double value(std::size_t index) const;
    MeasurementPoint reading(std::size_t index) const { return {timeMs(index), value(index)}; }
    analysis::Quantity quantity(std::size_t index) const;
    // In order, each placed before the reading that followed it.
    const std::vector<PlacedGap>& gaps() const { return gaps_; }

    // Block b holds readings [b * kBlockReadings, ...); all but the last are full.
    analysis::ReadingBlock block(std::size_t index) const override;
    std::span<const analysis::QuantityRun> quantityRuns() const override { return quantities_; }
    std::size_t gapCount() const override { return gaps_.size(); }
    std::size_t gapBefore(std::size_t gap) const override { return gaps_[gap].beforeReading; }

    // Heap bytes held.
    std::size_t memoryBytes() const;

protected:
    struct Block {
        Block(std::size_t capacity, bool wholeMs, std::optional<DecimalScale> valueScale);

        double value(std::size_t i) const {
            return values ? values[i] : valueScale.value(valueTicks[i]);
        }
        double timeMs(std::size_t i) const {
            return times ? times[i] : static_cast<double>(baseMs + ticks[i]);
        }

        std::size_t capacity;
        std::unique_ptr<std::int32_t[]> valueTicks; // in valueScale
        DecimalScale valueScale;
        std::unique_ptr<double[]> values;      // where the values are not kept in a scale
        std::unique_ptr<std::int32_t[]> ticks; // whole milliseconds from baseMs
        std::int64_t baseMs = 0;
        std::unique_ptr<double[]> times; // where a time stamp is not whole milliseconds
    };

    std::vector<std::shared_ptr<Block>> blocks_;
    std::size_t size_ = 0;
    std::vector<analysis::QuantityRun> quantities_;
    std::vector<PlacedGap> gaps_;
};

// The store that readings are appended to: one per measurement, filled by the recording as the
// readings arrive or by the opener from a file.
class ReadingStore : public ReadingTable {
public:
    ReadingStore() = default;
    // Two stores never share what they write into.
    ReadingStore(const ReadingStore&) = delete;
    ReadingStore& operator=(const ReadingStore&) = delete;
    ReadingStore(ReadingStore&&) = default;
    ReadingStore& operator=(ReadingStore&&) = default;

    void append(double timeMs, double value, analysis::Quantity quantity);
    // A gap before the next reading.
    void appendGap(const Gap& gap);
    // Every reading held measures this: a measurement read back from a file is taken as one
    // quantity, known once it is read.
    void setQuantity(analysis::Quantity quantity);
    void clear();

    // What the store holds now, for reading while it grows.
    ReadingTable snapshot() const { return *this; }

private:
    // The last block with room for one more reading with this time stamp and value, and the
    // value's tick where the block keeps its values in a scale.
    Block& blockFor(double timeMs, double value, std::int32_t& valueTick);
};

} // namespace recording
