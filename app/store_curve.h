// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/point_array.h"
#include "graph/point_source.h"
#include "recording/reading_store.h"

#include <memory>
#include <vector>

namespace app {

// The readings of a store as the graph's points: time in seconds against value, read from the
// store's own blocks.
class StoreCurve : public graph::PointSource {
public:
    explicit StoreCurve(std::shared_ptr<const recording::ReadingTable> readings)
        : readings_(std::move(readings)) {}

    std::size_t size() const override { return readings_->size(); }
    graph::PointBlock block(std::size_t index) const override;

    // Reads `readings` from now on: a later snapshot of the same store, or the store itself.
    void read(std::shared_ptr<const recording::ReadingTable> readings) {
        readings_ = std::move(readings);
    }
    const recording::ReadingTable& readings() const { return *readings_; }

private:
    std::shared_ptr<const recording::ReadingTable> readings_;
};

// Takes in every point the source of `points` holds, the line broken at each of `gaps`.
void takeInBrokenAtGaps(graph::PointArray& points, const std::vector<recording::PlacedGap>& gaps);

} // namespace app
