// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading_source.h"

#include <array>
#include <cstddef>
#include <limits>
#include <span>
#include <vector>

namespace analysis {

// Single readings of a source, read through the few blocks it keeps at hand, and the readings the
// analysis takes (those with a finite time stamp). Lives for one call of the analyzer: a block it
// holds may be replaced in the source once the source grows.
class SourceReader {
public:
    // `ignored`: the readings without a finite time stamp, ascending; it may grow meanwhile.
    SourceReader(const ReadingSource& source, const std::vector<std::size_t>& ignored);

    const ReadingSource& source() const { return source_; }

    double timeMs(std::size_t i) { return blockOf(i).timeMs(i % ReadingSource::kBlockReadings); }
    double value(std::size_t i) { return blockOf(i).value(i % ReadingSource::kBlockReadings); }
    Quantity quantity(std::size_t i) const;
    // What reading i gives a series of phase readings or of frequencies (usableValue).
    double usable(std::size_t i, bool phase);
    // The reading `steps` readings the analysis takes after reading i, which it takes too.
    std::size_t after(std::size_t i, std::size_t steps) const;
    // The first reading from reading i on that the analysis takes.
    std::size_t takenFrom(std::size_t i) const;

private:
    static constexpr std::size_t kCached = 8;
    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

    const ReadingBlock& blockOf(std::size_t i);

    const ReadingSource& source_;
    const std::vector<std::size_t>& ignored_;
    std::span<const QuantityRun> runs_;
    std::array<ReadingBlock, kCached> blocks_{};
    std::array<std::size_t, kCached> held_; // the index of each block held, kNone for none
};

} // namespace analysis
