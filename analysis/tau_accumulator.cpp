// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/tau_accumulator.h"

#include <algorithm>

namespace analysis {

void TauAccumulator::advance(const PhaseSeries& series, std::size_t maxPoints) {
    const std::span<const double> phase = series.phase();
    const std::vector<std::size_t>& starts = series.segmentStarts();
    const std::size_t end = std::min(phase.size(), next_ + std::min(maxPoints, phase.size()));
    while (next_ < end) {
        while (segment_ + 1 < starts.size() && starts[segment_ + 1] <= next_) {
            ++segment_;
            inner_ = 0;
        }
        const std::size_t start = starts[segment_];
        const std::size_t segmentEnd = segment_ + 1 < starts.size() ? starts[segment_ + 1] : end;
        const std::size_t stop = std::min(segmentEnd, end);
        takeSegmentPoints(phase.data() + start, next_ - start, stop - start);
        next_ = stop;
    }
}

void TauAccumulator::takeSegmentPoints(const double* x, std::size_t from, std::size_t to) {
    const std::size_t m = static_cast<std::size_t>(m_);
    // Points before 2m close no difference yet; up to 3m - 1 they build the first s_0.
    std::size_t k = std::max(from, 2 * m);
    const std::size_t buildEnd = std::min(to, 3 * m);
    double allan = sums_.allan;
    double modified = sums_.modified;
    double hadamard = sums_.hadamard;
    double inner = inner_;
    for (; k < buildEnd; ++k) {
        const double second = x[k] - 2 * x[k - m] + x[k - 2 * m];
        allan += second * second;
        inner += second;
        if (k + 1 == 3 * m) {
            modified += inner * inner;
        }
    }
    for (; k < to; ++k) {
        const double second = x[k] - 2 * x[k - m] + x[k - 2 * m];
        const double oldest = x[k - m] - 2 * x[k - 2 * m] + x[k - 3 * m];
        const double third = second - oldest;
        allan += second * second;
        inner += third;
        modified += inner * inner;
        hadamard += third * third;
    }
    const auto taken = [](std::size_t first, std::size_t last) {
        return static_cast<std::int64_t>(last > first ? last - first : 0);
    };
    sums_.allanTerms += taken(std::max(from, 2 * m), to);
    sums_.modifiedTerms += taken(std::max(from, 3 * m - 1), to);
    sums_.hadamardTerms += taken(std::max(from, 3 * m), to);
    sums_.allan = allan;
    sums_.modified = modified;
    sums_.hadamard = hadamard;
    inner_ = inner;
}

void TauAccumulator::takePoint(std::size_t k, double xk, double xkm, double xk2m, double xk3m) {
    const std::size_t m = static_cast<std::size_t>(m_);
    const double second = xk - 2 * xkm + xk2m;
    sums_.allan += second * second;
    ++sums_.allanTerms;
    if (k < 3 * m) {
        inner_ += second;
        if (k + 1 == 3 * m) {
            sums_.modified += inner_ * inner_;
            ++sums_.modifiedTerms;
        }
        return;
    }
    const double oldest = xkm - 2 * xk2m + xk3m;
    const double third = second - oldest;
    inner_ += third;
    sums_.modified += inner_ * inner_;
    ++sums_.modifiedTerms;
    sums_.hadamard += third * third;
    ++sums_.hadamardTerms;
}

} // namespace analysis
