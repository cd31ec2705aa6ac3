// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/phase_series.h"

#include <cstddef>
#include <cstdint>
#include <limits>

namespace analysis {

// Sums of squared differences behind the deviations at one averaging factor m, pooled over the
// segments of a phase series x (in the units of PhaseSeries):
//   allan     (x[k] - 2 x[k-m] + x[k-2m])^2                     for k >= 2m
//   modified  s_j^2, s_j = sum of m consecutive such second differences, each s_j formed from
//             s_(j-1) by adding the newest and dropping the oldest (not from a running sum of
//             x, whose differences lose the digits on random-walk data)
//   hadamard  (x[k] - 3 x[k-m] + 3 x[k-2m] - x[k-3m])^2         for k >= 3m
// with k counting phase points within a segment.
struct TauSums {
    double allan = 0;
    std::int64_t allanTerms = 0;
    double modified = 0;
    std::int64_t modifiedTerms = 0;
    double hadamard = 0;
    std::int64_t hadamardTerms = 0;
};

// Takes the phase points of a series in order, any number at a time; the sums depend only on
// the points taken, not on how they were split, so a live series and one analysed at once give
// the same numbers to the last bit.
class TauAccumulator {
public:
    explicit TauAccumulator(std::int64_t m) : m_(m) {}

    // Takes the points of series not taken yet, at most maxPoints of them.
    void advance(const PhaseSeries& series,
                 std::size_t maxPoints = std::numeric_limits<std::size_t>::max());

    // The same one point at a time, for a series whose phase is not kept: point k (k >= 2m) of
    // the segment being taken, given x[k], x[k-m], x[k-2m] and, from k = 3m on, x[k-3m].
    // startSegment() before the first point of each segment after the first.
    void takePoint(std::size_t k, double xk, double xkm, double xk2m, double xk3m);
    void startSegment() { inner_ = 0; }

    std::int64_t m() const { return m_; }
    const TauSums& sums() const { return sums_; }

private:
    // Points [from, to) of the segment starting at x (local indices).
    void takeSegmentPoints(const double* x, std::size_t from, std::size_t to);

    std::int64_t m_;
    TauSums sums_;
    std::size_t next_ = 0;    // first phase point not taken
    std::size_t segment_ = 0; // segment holding it
    double inner_ = 0;        // the current s_j of the modified sum
};

} // namespace analysis
