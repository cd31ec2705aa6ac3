// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/steady_buffer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

// Phase of a series of values with gaps, in units of value x sample: each gap-free segment
// starts at x = 0 and x_(k+1) = x_k + (v_k - v_first), v_first the first value of the whole
// series. Subtracting a constant changes no deviation but keeps the phase small, so its
// differences keep their digits. Segments lie one after the other in phase().
class PhaseSeries {
public:
    // A value that is not finite takes a place without a value: it ends the segment, as does
    // gapBefore.
    void add(double value, bool gapBefore);
    // Room for this many phase points (values plus one per segment).
    void reserve(std::size_t points) { phase_.reserve(points); }

    std::span<const double> phase() const { return phase_.values(); }
    // Index in phase() of each segment's first point.
    const std::vector<std::size_t>& segmentStarts() const { return segmentStarts_; }
    // Number of phase points of segment s.
    std::size_t segmentPoints(std::size_t s) const;
    std::int64_t values() const { return values_; }
    // Mean of the values added, formed from their differences to the first; 0 without any.
    double mean() const;
    // The first value added, which every value was taken from, and the mean of the values minus
    // it (without the rounding of mean() - first()); 0 without any.
    double first() const { return first_; }
    double meanOffset() const;
    std::size_t memoryBytes() const;

private:
    SteadyBuffer phase_;
    std::vector<std::size_t> segmentStarts_;
    bool segmentOpen_ = false;
    double first_ = 0;
    double sumOfOffsets_ = 0;
    std::int64_t values_ = 0;
};

} // namespace analysis
