// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/theo_edge_sweep.h"

#include "analysis/analysis_control.h"
#include "analysis/lanes.h"

#include <algorithm>
#include <cstddef>

namespace analysis {

namespace {

// block[l] += sum over j < 4 of (head[j] - tail[l + 3 - j])^2 for l = 0 .. count-1: four new
// points against every lag at once, the tails running forward over the reversed series; returns
// sum of weights[l] block[l] after it. The weighted sum is plain: its terms are of one sign.
[[gnu::always_inline]] inline double addFourBody(double* block, const double* head,
                                                 const double* tail, const double* weights,
                                                 std::size_t count) {
    const Lanes h0 = {head[0], head[0], head[0], head[0]};
    const Lanes h1 = {head[1], head[1], head[1], head[1]};
    const Lanes h2 = {head[2], head[2], head[2], head[2]};
    const Lanes h3 = {head[3], head[3], head[3], head[3]};
    Lanes t0;
    Lanes t1;
    Lanes t2;
    Lanes t3;
    Lanes sum;
    Lanes w;
    Lanes weighted = {};
    std::size_t l = 0;
    for (; l + 4 <= count; l += 4) {
        load(t0, tail + l + 3);
        load(t1, tail + l + 2);
        load(t2, tail + l + 1);
        load(t3, tail + l);
        load(sum, block + l);
        load(w, weights + l);
        const Lanes d0 = h0 - t0;
        const Lanes d1 = h1 - t1;
        const Lanes d2 = h2 - t2;
        const Lanes d3 = h3 - t3;
        sum += (d0 * d0 + d1 * d1) + (d2 * d2 + d3 * d3);
        store(block + l, sum);
        weighted += w * sum;
    }
    double result = (weighted[0] + weighted[1]) + (weighted[2] + weighted[3]);
    for (; l < count; ++l) {
        const double d0 = head[0] - tail[l + 3];
        const double d1 = head[1] - tail[l + 2];
        const double d2 = head[2] - tail[l + 1];
        const double d3 = head[3] - tail[l];
        block[l] += (d0 * d0 + d1 * d1) + (d2 * d2 + d3 * d3);
        result += weights[l] * block[l];
    }
    return result;
}

// prefix[j] += (up[j] - down[j + 1])^2 + (up[j + 1] - down[j])^2 (see Sweep::advance); returns
// sum of weights[j] prefix[j] after it.
[[gnu::always_inline]] inline double addTwoBody(double* prefix, const double* up,
                                                const double* down, const double* weights,
                                                std::size_t count) {
    Lanes a0;
    Lanes a1;
    Lanes b0;
    Lanes b1;
    Lanes sum;
    Lanes w;
    Lanes weighted = {};
    std::size_t j = 0;
    for (; j + 4 <= count; j += 4) {
        load(a0, up + j);
        load(a1, up + j + 1);
        load(b0, down + j + 1);
        load(b1, down + j);
        load(sum, prefix + j);
        load(w, weights + j);
        const Lanes d0 = a0 - b0;
        const Lanes d1 = a1 - b1;
        sum += d0 * d0 + d1 * d1;
        store(prefix + j, sum);
        weighted += w * sum;
    }
    double result = (weighted[0] + weighted[1]) + (weighted[2] + weighted[3]);
    for (; j < count; ++j) {
        const double d0 = up[j] - down[j + 1];
        const double d1 = up[j + 1] - down[j];
        prefix[j] += d0 * d0 + d1 * d1;
        result += weights[j] * prefix[j];
    }
    return result;
}

// The same arithmetic in the processor's wider steps where it has AVX2, chosen at run time.
__attribute__((target("avx2"))) double addFourWithAvx2(double* block, const double* head,
                                                       const double* tail, const double* weights,
                                                       std::size_t count) {
    return addFourBody(block, head, tail, weights, count);
}
double addFourPlain(double* block, const double* head, const double* tail, const double* weights,
                    std::size_t count) {
    return addFourBody(block, head, tail, weights, count);
}
__attribute__((target("avx2"))) double addTwoWithAvx2(double* prefix, const double* up,
                                                      const double* down, const double* weights,
                                                      std::size_t count) {
    return addTwoBody(prefix, up, down, weights, count);
}
double addTwoPlain(double* prefix, const double* up, const double* down, const double* weights,
                   std::size_t count) {
    return addTwoBody(prefix, up, down, weights, count);
}

bool hasAvx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

double square(double d) {
    return d * d;
}

class Sweep {
public:
    // For factors up to last.
    Sweep(std::span<const double> x, std::int64_t last)
        : x_(x), last_(last), reversed_(at(last) + 4, 0.0), block_(at(last) + 4, 0.0),
          prefix_(at(last) / 2 + 4, 0.0), reciprocal_(at(last) + 4, 0.0),
          falling_(at(last) + 4, 0.0) {
        for (std::int64_t t = 0; t < last; ++t) {
            reversed_[at(t)] = x[at(last - 1 - t)];
            falling_[at(t)] = 1.0 / static_cast<double>(last - t);
            reciprocal_[at(t + 1)] = 1.0 / static_cast<double>(t + 1);
        }
    }

    std::int64_t m() const { return m_; }
    const EdgeSums& sums() const { return sums_; }

    // From m to m + 4, and the sums there.
    void advance() {
        const std::int64_t m = m_;
        const std::int64_t h = m / 2;
        const std::int64_t next = m + 4;
        const std::int64_t half = next / 2;
        const auto four = hasAvx2() ? addFourWithAvx2 : addFourPlain;
        // The pairs within the first points: lags 1 .. m meet all four new points m .. m+3,
        // x[m + j - l] = reversed_[last-1-m-j+l], which for the lags from l0 on is tail + l0 - 1
        // at l0 + 3 - j; weighted for the next factor 1/l below its half, 2/half at it,
        // 1/(next - l) above (falling_[last - next + l]).
        const double* tail = &reversed_[at(last_ - m - 3)];
        const double centre = 2.0 / static_cast<double>(half);
        double outer = 0;
        if (m > 0) {
            outer += four(&block_[1], &x_[at(m)], tail, &reciprocal_[1], at(half - 1));
            outer += four(&block_[at(half)], &x_[at(m)], tail + half - 1, &centre, 1);
            outer += four(&block_[at(half + 1)], &x_[at(m)], tail + half,
                          &falling_[at(last_ - next + half + 1)], at(m - half));
        }
        for (std::int64_t lag = m + 1; lag <= m + 3; ++lag) {
            for (std::int64_t q = lag; q <= m + 3; ++q) {
                block_[at(lag)] += square(x_[at(q)] - x_[at(q - lag)]);
            }
            // Above the next half, but for the first step's lags 1 .. 3.
            outer += block_[at(lag)] * (lag < half    ? reciprocal_[at(lag)]
                                        : lag == half ? centre
                                                      : falling_[at(last_ - next + lag)]);
        }
        // The inner pairs of lag 2j, j = 1 .. h-1, reach from x[h-j], x[h+j] two points on:
        // (x[h+j] - x[h-j])^2 + (x[h+j+1] - x[h+1-j])^2, x[h-j] = reversed_[last-1-h+j];
        // weighted 1/(half - j) = falling_[last - half + j]. Lags m and m + 2 are new.
        double inner = 0;
        if (h > 1) {
            inner += (hasAvx2() ? addTwoWithAvx2 : addTwoPlain)(
                &prefix_[1], &x_[at(h + 1)], &reversed_[at(last_ - 1 - h)],
                &falling_[at(last_ - half + 1)], at(h - 1));
        }
        if (h >= 1) {
            prefix_[at(h)] = square(x_[at(m)] - x_[0]) + square(x_[at(m + 1)] - x_[1]);
            inner += prefix_[at(h)] / 2;
        }
        prefix_[at(h + 1)] = square(x_[at(m + 2)] - x_[0]);
        inner += prefix_[at(h + 1)];
        m_ = next;
        sums_ = {outer, inner};
    }

private:
    static std::size_t at(std::int64_t i) { return static_cast<std::size_t>(i); }

    std::span<const double> x_;
    std::int64_t last_;
    std::int64_t m_ = 0;
    EdgeSums sums_;
    std::vector<double> reversed_;   // x[last - 1 - t]
    std::vector<double> block_;      // block_[l]: the pairs of lag l within the first m points
    std::vector<double> prefix_;     // prefix_[j]: the inner pairs of lag 2j
    std::vector<double> reciprocal_; // 1/t
    std::vector<double> falling_;    // 1/(last - t)
};

} // namespace

std::vector<EdgeSums> edgeSweep(std::span<const double> x, std::span<const std::int64_t> factors,
                                WorkMeter* meter) {
    std::vector<EdgeSums> result(factors.size());
    if (factors.empty()) {
        return result;
    }
    Sweep sweep(x, factors.back());
    for (std::size_t i = 0; i < factors.size(); ++i) {
        while (sweep.m() < factors[i]) {
            if (meter != nullptr && meter->cancelled()) {
                return result;
            }
            sweep.advance();
            if (meter != nullptr) {
                meter->add(6 * static_cast<std::uint64_t>(sweep.m()));
            }
        }
        result[i] = sweep.sums();
    }
    return result;
}

std::uint64_t edgeSweepWork(std::int64_t largestFactor) {
    const auto steps = static_cast<std::uint64_t>(std::max<std::int64_t>(largestFactor, 0) / 4);
    return 6 * 4 * steps * (steps + 1) / 2;
}

} // namespace analysis
