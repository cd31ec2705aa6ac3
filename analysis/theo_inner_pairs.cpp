// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/theo_inner_pairs.h"

#include "analysis/analysis_control.h"
#include "analysis/fourier.h"
#include "analysis/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <complex>
#include <cstddef>
#include <numeric>
#include <thread>
#include <vector>

namespace analysis {

namespace {

// Squares of the triangle at most this wide are summed point by point.
constexpr std::int64_t kLeaf = 32;

// A square [p0, p0 + size) x [q0, q0 + size) of pairs (p, q) of the inner-pair triangle.
struct Square {
    std::int64_t p0;
    std::int64_t q0;
    std::int64_t size;
    bool whole; // every pair of it lies in the triangle (or has a lag without weight)
};

// The squares that tile the triangle p < q, p + q <= m - 2: a square wholly inside is taken as it
// is, one across an edge is cut in four, down to kLeaf.
void tile(std::int64_t m, std::int64_t p0, std::int64_t q0, std::int64_t size,
          std::vector<Square>& squares) {
    if (q0 + size - 1 <= p0 || p0 + q0 > m - 2) {
        return;
    }
    const bool whole = p0 + q0 + 2 * size - 2 <= m - 2;
    if (whole || size <= kLeaf) {
        squares.push_back({p0, q0, size, whole});
        return;
    }
    const std::int64_t half = size / 2;
    tile(m, p0, q0, half, squares);
    tile(m, p0, q0 + half, half, squares);
    tile(m, p0 + half, q0, half, squares);
    tile(m, p0 + half, q0 + half, half, squares);
}

std::vector<Square> tiling(std::int64_t m) {
    std::vector<Square> squares;
    if (m >= 4) {
        tile(m, 0, 0, static_cast<std::int64_t>(powerOfTwoAtLeast(static_cast<std::size_t>(m - 1))),
             squares);
    }
    // The largest first, for the threads.
    std::stable_sort(squares.begin(), squares.end(),
                     [](const Square& a, const Square& b) { return a.size > b.size; });
    return squares;
}

std::uint64_t squareWork(const Square& square) {
    const auto size = static_cast<std::uint64_t>(square.size);
    return square.whole && square.size > kLeaf ? fourierWork(2 * size) : size * size;
}

class InnerPairs {
public:
    InnerPairs(std::span<const double> x, std::int64_t m) : x_(x), m_(m), cumulative_(m + 1, 0.0) {
        for (std::int64_t lag = 1; lag <= m; ++lag) {
            cumulative_[static_cast<std::size_t>(lag)] =
                cumulative_[static_cast<std::size_t>(lag - 1)] + weight(lag - 1);
        }
    }

    // 2 / (m - lag) for the even lags of the triangle, 0 for the others.
    double weight(std::int64_t lag) const {
        return lag >= 2 && lag <= m_ - 2 && lag % 2 == 0 ? 2.0 / static_cast<double>(m_ - lag) : 0;
    }
    // The sum of weight(l) for l < lag.
    double cumulative(std::int64_t lag) const {
        return cumulative_[static_cast<std::size_t>(std::clamp<std::int64_t>(lag, 0, m_))];
    }

    double direct(const Square& s) const {
        double sum = 0;
        for (std::int64_t p = s.p0; p < s.p0 + s.size; ++p) {
            for (std::int64_t q = std::max(s.q0, p + 1); q < s.q0 + s.size && p + q <= m_ - 2;
                 ++q) {
                const double d = x_[static_cast<std::size_t>(q)] - x_[static_cast<std::size_t>(p)];
                sum += weight(q - p) * d * d;
            }
        }
        return sum;
    }

    // Room for byFourier, kept from one square to the next.
    struct Scratch {
        std::vector<double> u;
        std::vector<double> v;
        std::vector<double> correlation;
        std::vector<std::complex<double>> work;
    };

    // sum over the square of w(q - p) ((v_q - mu) - (u_p - mu))^2 = the squares of u and v each
    // with the weights of the lags it meets, less twice the weighted correlation of u and v.
    double byFourier(const Square& s, const Fourier& fourier, Scratch& scratch) const {
        const auto n = static_cast<std::size_t>(s.size);
        const auto p0 = static_cast<std::size_t>(s.p0);
        const auto q0 = static_cast<std::size_t>(s.q0);
        const double mean = (std::accumulate(x_.begin() + s.p0, x_.begin() + s.p0 + s.size, 0.0) +
                             std::accumulate(x_.begin() + s.q0, x_.begin() + s.q0 + s.size, 0.0)) /
                            static_cast<double>(2 * n);
        std::vector<double>& u = scratch.u;
        std::vector<double>& v = scratch.v;
        u.resize(n);
        v.resize(n);
        double squares = 0;
        const std::int64_t offset = s.q0 - s.p0;
        for (std::size_t j = 0; j < n; ++j) {
            u[j] = x_[p0 + j] - mean;
            v[j] = x_[q0 + j] - mean;
            const auto t = static_cast<std::int64_t>(j);
            // v_j meets lags offset + j - (0 .. n-1); u_j meets lags offset - j + (0 .. n-1).
            squares +=
                v[j] * v[j] * (cumulative(offset + t + 1) - cumulative(offset + t - s.size + 1));
            squares += u[j] * u[j] * (cumulative(offset - t + s.size) - cumulative(offset - t));
        }
        std::vector<double>& correlation = scratch.correlation;
        correlation.resize(2 * n);
        fourier.correlate(u, v, correlation, scratch.work);
        double cross = 0;
        for (std::int64_t shift = 1 - s.size; shift < s.size; ++shift) {
            const std::size_t at = shift < 0 ? 2 * n - static_cast<std::size_t>(-shift)
                                             : static_cast<std::size_t>(shift);
            cross += weight(offset + shift) * correlation[at];
        }
        return squares - 2 * cross;
    }

private:
    std::span<const double> x_;
    std::int64_t m_;
    std::vector<double> cumulative_;
};

} // namespace

double innerPairSquares(std::span<const double> x, std::int64_t m, const Fourier& fourier,
                        WorkMeter* meter) {
    const std::vector<Square> squares = tiling(m);
    const InnerPairs pairs(x, m);
    std::uint64_t work = 0;
    for (const Square& s : squares) {
        work += squareWork(s);
    }
    // One task per thread, each with its own scratch, taking the squares (the largest first) one
    // after the other.
    std::vector<double> sums(squares.size(), 0.0);
    std::atomic<std::size_t> next{0};
    const std::size_t threads = std::max(1u, std::thread::hardware_concurrency());
    parallelFor(threads, work, [&](std::size_t) {
        InnerPairs::Scratch scratch;
        for (std::size_t i = next++; i < squares.size(); i = next++) {
            if (meter != nullptr && meter->cancelled()) {
                return;
            }
            const Square& s = squares[i];
            sums[i] =
                s.whole && s.size > kLeaf ? pairs.byFourier(s, fourier, scratch) : pairs.direct(s);
            if (meter != nullptr) {
                meter->add(squareWork(s));
            }
        }
    });
    return std::accumulate(sums.begin(), sums.end(), 0.0);
}

std::uint64_t innerPairWork(std::int64_t m) {
    std::uint64_t work = 0;
    for (const Square& s : tiling(m)) {
        work += squareWork(s);
    }
    return work;
}

} // namespace analysis
