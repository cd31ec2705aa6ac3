// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/source_reader.h"

#include "analysis/timed_values.h"

#include <algorithm>

namespace analysis {

SourceReader::SourceReader(const ReadingSource& source, const std::vector<std::size_t>& ignored)
    : source_(source), ignored_(ignored), runs_(source.quantityRuns()) {
    held_.fill(kNone);
}

const ReadingBlock& SourceReader::blockOf(std::size_t i) {
    const std::size_t index = i / ReadingSource::kBlockReadings;
    const std::size_t slot = index % kCached;
    if (held_[slot] != index) {
        blocks_[slot] = source_.block(index);
        held_[slot] = index;
    }
    return blocks_[slot];
}

Quantity SourceReader::quantity(std::size_t i) const {
    const auto after = std::upper_bound(
        runs_.begin(), runs_.end(), i,
        [](std::size_t index, const QuantityRun& run) { return index < run.first; });
    return after == runs_.begin() ? Quantity::Frequency : (after - 1)->quantity;
}

double SourceReader::usable(std::size_t i, bool phase) {
    return usableValue(value(i), quantity(i), phase);
}

std::size_t SourceReader::after(std::size_t i, std::size_t steps) const {
    std::size_t target = i + steps;
    for (auto skipped = std::upper_bound(ignored_.begin(), ignored_.end(), i);
         skipped != ignored_.end() && *skipped <= target; ++skipped) {
        ++target;
    }
    return target;
}

std::size_t SourceReader::takenFrom(std::size_t i) const {
    for (auto skipped = std::lower_bound(ignored_.begin(), ignored_.end(), i);
         skipped != ignored_.end() && *skipped == i; ++skipped) {
        ++i;
    }
    return i;
}

} // namespace analysis
