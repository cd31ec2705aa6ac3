// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/compared_values.h"
#include "graph/point_source.h"
#include "recording/reading_store.h"

#include <vector>

namespace app {

// A run's readings as the graph compares them: time in seconds since the run's start, as the
// store keeps it, against the readings compared (analysis::comparedValues), as they were when made.
class ComparedCurve : public graph::PointSource {
public:
    ComparedCurve(recording::ReadingTable readings, analysis::Comparison comparison);

    std::size_t size() const override { return values_.size(); }
    graph::PointBlock block(std::size_t index) const override;
    const recording::ReadingTable& readings() const { return readings_; }

private:
    recording::ReadingTable readings_;
    std::vector<double> values_;
};

} // namespace app
