// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading_source.h"

#include <vector>

namespace analysis {

// Readings kept as they are added, as a ReadingSource: for an analyzer that is handed its
// readings one by one instead of reading a store that others fill.
class ReadingSeries : public ReadingSource {
public:
    void add(double timeMs, double value, Quantity quantity, bool gapBefore);

    std::size_t size() const override { return values_.size(); }
    ReadingBlock block(std::size_t index) const override;
    std::span<const QuantityRun> quantityRuns() const override { return quantities_; }
    std::size_t gapCount() const override { return gaps_.size(); }
    std::size_t gapBefore(std::size_t gap) const override { return gaps_[gap]; }

private:
    std::vector<double> timeMs_;
    std::vector<double> values_;
    std::vector<QuantityRun> quantities_;
    std::vector<std::size_t> gaps_;
};

} // namespace analysis
