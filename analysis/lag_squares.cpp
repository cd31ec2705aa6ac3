// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/lag_squares.h"

#include "analysis/analysis_control.h"
#include "analysis/fourier.h"
#include "analysis/lanes.h"
#include "analysis/parallel_for.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <functional>
#include <numeric>
#include <utility>

namespace analysis {

namespace {

// Lags up to here are summed point by point; above, a band of lags [L, 2L) at a time is formed
// from correlations of stretches of L points with the 2L - 1 after them, which costs about as much
// per lag once L is this large.
constexpr std::int64_t kDirectLags = 511;
// Squares of the inner-pair triangle at most this wide are summed point by point.
constexpr std::int64_t kLeaf = 32;

std::uint64_t fourierWork(std::size_t n) {
    return 6 * n * static_cast<std::uint64_t>(std::bit_width(n));
}

// The terms summed without loss in sixteen lanes side by side, four vectors so that no addition
// waits for the one before: a million terms of one sign keep the sum to a rounding or two.
// terms(i, v) loads the terms i .. i+3 into v, term(i) gives one.
template <typename Terms, typename Term>
[[gnu::always_inline]] inline double compensatedSum(std::size_t count, Terms terms, Term term) {
    // Four named vectors, not an array: the compiler keeps them in registers.
    Lanes s0 = {};
    Lanes s1 = {};
    Lanes s2 = {};
    Lanes s3 = {};
    Lanes e0 = {};
    Lanes e1 = {};
    Lanes e2 = {};
    Lanes e3 = {};
    Lanes y;
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        terms(i, y);
        addWithoutLoss(s0, e0, y);
        terms(i + 4, y);
        addWithoutLoss(s1, e1, y);
        terms(i + 8, y);
        addWithoutLoss(s2, e2, y);
        terms(i + 12, y);
        addWithoutLoss(s3, e3, y);
    }
    for (; i + 4 <= count; i += 4) {
        terms(i, y);
        addWithoutLoss(s0, e0, y);
    }
    Lanes last = {};
    for (std::size_t lane = 0; i < count; ++i, ++lane) {
        last[lane] = term(i);
    }
    addWithoutLoss(s1, e1, last);
    // The lanes' sums, their roundings kept as well.
    double total = 0;
    double totalError = 0;
    for (const Lanes* v : {&s0, &s1, &s2, &s3, &e0, &e1, &e2, &e3}) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            const double t = total + (*v)[lane];
            const double back = t - total;
            totalError += (total - (t - back)) + ((*v)[lane] - back);
            total = t;
        }
    }
    return total + totalError;
}

[[gnu::always_inline]] inline double lagSquaresBody(const double* x, std::size_t count,
                                                    std::size_t lag) {
    return compensatedSum(
        count,
        [x, lag](std::size_t i, Lanes& y) {
            Lanes a;
            Lanes b;
            load(a, x + i + lag);
            load(b, x + i);
            y = (a - b) * (a - b);
        },
        [x, lag](std::size_t i) { return (x[i + lag] - x[i]) * (x[i + lag] - x[i]); });
}

// The plain sum of values[i] weights[i] in sixteen lanes, four vectors none of which waits for
// another.
[[gnu::always_inline]] inline double weightedBody(const double* values, const double* weights,
                                                  std::size_t count) {
    Lanes s0 = {};
    Lanes s1 = {};
    Lanes s2 = {};
    Lanes s3 = {};
    Lanes a;
    Lanes b;
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        load(a, values + i);
        load(b, weights + i);
        s0 += a * b;
        load(a, values + i + 4);
        load(b, weights + i + 4);
        s1 += a * b;
        load(a, values + i + 8);
        load(b, weights + i + 8);
        s2 += a * b;
        load(a, values + i + 12);
        load(b, weights + i + 12);
        s3 += a * b;
    }
    const Lanes lanes = (s0 + s1) + (s2 + s3);
    double sum = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
    for (; i < count; ++i) {
        sum += values[i] * weights[i];
    }
    return sum;
}

// The plain sum in sixteen lanes, four vectors none of which waits for another.
[[gnu::always_inline]] inline double roughLagSquaresBody(const double* x, std::size_t count,
                                                         std::size_t lag) {
    Lanes s0 = {};
    Lanes s1 = {};
    Lanes s2 = {};
    Lanes s3 = {};
    Lanes a;
    Lanes b;
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        load(a, x + i + lag);
        load(b, x + i);
        s0 += (a - b) * (a - b);
        load(a, x + i + lag + 4);
        load(b, x + i + 4);
        s1 += (a - b) * (a - b);
        load(a, x + i + lag + 8);
        load(b, x + i + 8);
        s2 += (a - b) * (a - b);
        load(a, x + i + lag + 12);
        load(b, x + i + 12);
        s3 += (a - b) * (a - b);
    }
    const Lanes lanes = (s0 + s1) + (s2 + s3);
    double sum = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
    for (; i < count; ++i) {
        sum += (x[i + lag] - x[i]) * (x[i + lag] - x[i]);
    }
    return sum;
}

// The same arithmetic in the processor's wider steps where it has AVX2, chosen at run time.
__attribute__((target("avx2"))) double lagSquaresWithAvx2(const double* x, std::size_t count,
                                                          std::size_t lag) {
    return lagSquaresBody(x, count, lag);
}

double lagSquaresPlain(const double* x, std::size_t count, std::size_t lag) {
    return lagSquaresBody(x, count, lag);
}

__attribute__((target("avx2"))) double weightedWithAvx2(const double* values, const double* weights,
                                                        std::size_t count) {
    return weightedBody(values, weights, count);
}

double weightedPlain(const double* values, const double* weights, std::size_t count) {
    return weightedBody(values, weights, count);
}

__attribute__((target("avx2"))) double roughLagSquaresWithAvx2(const double* x, std::size_t count,
                                                               std::size_t lag) {
    return roughLagSquaresBody(x, count, lag);
}

double roughLagSquaresPlain(const double* x, std::size_t count, std::size_t lag) {
    return roughLagSquaresBody(x, count, lag);
}

bool hasAvx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

double lagSquares(std::span<const double> x, std::size_t lag) {
    return (hasAvx2() ? lagSquaresWithAvx2 : lagSquaresPlain)(x.data(), x.size() - lag, lag);
}

// The lags [lowest, highest] (highest < 2 lowest) of the structure function, added into result:
// stretch by stretch, the L = lowest points from P correlated with the 2L - 1 after P + L, each
// stretch with the mean of the 3L - 1 points taken out, which the differences do not see.
void addBand(std::span<const double> x, std::int64_t lowest, std::int64_t highest,
             const Fourier& fourier, std::vector<double>& result, WorkMeter* meter) {
    const auto points = static_cast<std::int64_t>(x.size());
    const std::size_t length = 2 * static_cast<std::size_t>(lowest);
    std::vector<double> centred;
    std::vector<double> squares;
    std::vector<double> correlation(length);
    std::vector<std::complex<double>> work;
    for (std::int64_t start = 0; start + lowest < points; start += lowest) {
        if (meter != nullptr && meter->cancelled()) {
            return;
        }
        const std::int64_t end = std::min(start + 3 * lowest - 1, points);
        const auto span = static_cast<std::size_t>(end - start);
        const double mean =
            std::accumulate(x.begin() + start, x.begin() + end, 0.0) / static_cast<double>(span);
        centred.resize(span);
        squares.assign(span + 1, 0.0);
        for (std::size_t t = 0; t < span; ++t) {
            centred[t] = x[static_cast<std::size_t>(start) + t] - mean;
            squares[t + 1] = squares[t] + centred[t] * centred[t];
        }
        const std::span<const double> all(centred);
        fourier.correlate(all.first(std::min<std::size_t>(span, lowest)),
                          all.subspan(static_cast<std::size_t>(lowest)), correlation, work);
        for (std::int64_t lag = lowest; lag <= highest; ++lag) {
            // Pairs (p, p + lag) for p from start up to the stretch's end or the series' end.
            const std::int64_t pairs = std::min(lowest, points - lag - start);
            if (pairs <= 0) {
                break;
            }
            const auto n = static_cast<std::size_t>(pairs);
            const auto l = static_cast<std::size_t>(lag);
            const double ends = squares[n] + (squares[l + n] - squares[l]);
            result[l] += ends - 2 * correlation[l - static_cast<std::size_t>(lowest)];
        }
        if (meter != nullptr) {
            meter->add(fourierWork(length));
        }
    }
}

} // namespace

std::vector<double> structureFunction(std::span<const double> x, std::int64_t maxLag,
                                      WorkMeter* meter) {
    const auto points = static_cast<std::int64_t>(x.size());
    maxLag = std::min(maxLag, points - 1);
    std::vector<double> result(static_cast<std::size_t>(std::max<std::int64_t>(maxLag, 0)) + 1,
                               0.0);
    if (maxLag < 1) {
        return result;
    }
    const std::int64_t direct = std::min(maxLag, kDirectLags);
    std::vector<std::pair<std::int64_t, std::int64_t>> bands;
    for (std::int64_t lowest = kDirectLags + 1; lowest <= maxLag; lowest *= 2) {
        bands.emplace_back(lowest, std::min(2 * lowest - 1, maxLag));
    }
    const Fourier fourier(bands.empty() ? 1 : 2 * static_cast<std::size_t>(bands.back().first));
    // The bands first, the largest first, then the direct lags in groups of 16.
    constexpr std::int64_t kGroup = 16;
    const std::size_t groups = static_cast<std::size_t>((direct + kGroup - 1) / kGroup);
    parallelFor(bands.size() + groups, structureWork(points, maxLag), [&](std::size_t task) {
        if (task < bands.size()) {
            const auto& [lowest, highest] = bands[bands.size() - 1 - task];
            addBand(x, lowest, highest, fourier, result, meter);
            return;
        }
        const auto first = static_cast<std::int64_t>(task - bands.size()) * kGroup + 1;
        for (std::int64_t lag = first; lag < first + kGroup && lag <= direct; ++lag) {
            if (meter != nullptr && meter->cancelled()) {
                return;
            }
            result[static_cast<std::size_t>(lag)] = lagSquares(x, static_cast<std::size_t>(lag));
            if (meter != nullptr) {
                meter->add(static_cast<std::uint64_t>(points - lag));
            }
        }
    });
    return result;
}

double weightedSum(const double* values, const double* weights, std::size_t count) {
    return (hasAvx2() ? weightedWithAvx2 : weightedPlain)(values, weights, count);
}

double lagSquareSum(std::span<const double> x, std::int64_t lag) {
    return lag > 0 && static_cast<std::size_t>(lag) < x.size()
               ? lagSquares(x, static_cast<std::size_t>(lag))
               : 0;
}

double roughLagSquareSum(std::span<const double> x, std::int64_t lag) {
    return lag > 0 && static_cast<std::size_t>(lag) < x.size()
               ? (hasAvx2() ? roughLagSquaresWithAvx2 : roughLagSquaresPlain)(
                     x.data(), x.size() - static_cast<std::size_t>(lag),
                     static_cast<std::size_t>(lag))
               : 0;
}

double weightedPairSquares(std::span<const double> x, std::span<const double> weights,
                           WorkMeter* meter) {
    const std::size_t n = x.size();
    if (n < 2) {
        return 0;
    }
    const double mean = std::accumulate(x.begin(), x.end(), 0.0) / static_cast<double>(n);
    std::vector<double> u(n);
    std::vector<double> squares(n + 1, 0.0);
    for (std::size_t j = 0; j < n; ++j) {
        u[j] = x[j] - mean;
        squares[j + 1] = squares[j] + u[j] * u[j];
    }
    const std::size_t length = powerOfTwoAtLeast(2 * n);
    const Fourier fourier(length);
    std::vector<double> correlation(length);
    std::vector<std::complex<double>> work;
    fourier.correlate(u, u, correlation, work);
    double sum = 0;
    for (std::size_t lag = 1; lag < n && lag < weights.size(); ++lag) {
        const double ends = squares[n - lag] + (squares[n] - squares[lag]);
        sum += weights[lag] * (ends - 2 * correlation[lag]);
    }
    if (meter != nullptr) {
        meter->add(weightedPairWork(static_cast<std::int64_t>(n)));
    }
    return sum;
}

std::uint64_t weightedPairWork(std::int64_t points) {
    return fourierWork(powerOfTwoAtLeast(2 * static_cast<std::size_t>(points)));
}

std::uint64_t structureWork(std::int64_t points, std::int64_t maxLag) {
    maxLag = std::min(maxLag, points - 1);
    const auto direct =
        static_cast<std::uint64_t>(std::max<std::int64_t>(std::min(maxLag, kDirectLags), 0));
    std::uint64_t work = direct * static_cast<std::uint64_t>(points) - direct * (direct + 1) / 2;
    for (std::int64_t lowest = kDirectLags + 1; lowest <= maxLag; lowest *= 2) {
        const auto stretches = static_cast<std::uint64_t>((points - 1) / lowest);
        work += stretches * fourierWork(2 * static_cast<std::size_t>(lowest));
    }
    return work;
}

namespace {

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

    // sum over the square of w(q - p) ((v_q - mu) - (u_p - mu))^2 = the squares of u and v each
    // with the weights of the lags it meets, less twice the weighted correlation of u and v.
    double byFourier(const Square& s, const Fourier& fourier) const {
        const auto n = static_cast<std::size_t>(s.size);
        const auto p0 = static_cast<std::size_t>(s.p0);
        const auto q0 = static_cast<std::size_t>(s.q0);
        const double mean = (std::accumulate(x_.begin() + s.p0, x_.begin() + s.p0 + s.size, 0.0) +
                             std::accumulate(x_.begin() + s.q0, x_.begin() + s.q0 + s.size, 0.0)) /
                            static_cast<double>(2 * n);
        std::vector<double> u(n);
        std::vector<double> v(n);
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
        std::vector<double> correlation(2 * n);
        std::vector<std::complex<double>> work;
        fourier.correlate(u, v, correlation, work);
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

double innerPairSquares(std::span<const double> x, std::int64_t m, WorkMeter* meter) {
    const std::vector<Square> squares = tiling(m);
    if (squares.empty()) {
        return 0;
    }
    const InnerPairs pairs(x, m);
    const Fourier fourier(2 * static_cast<std::size_t>(squares.front().size));
    std::vector<double> sums(squares.size(), 0.0);
    std::uint64_t work = 0;
    for (const Square& s : squares) {
        work += squareWork(s);
    }
    parallelFor(squares.size(), work, [&](std::size_t i) {
        if (meter != nullptr && meter->cancelled()) {
            return;
        }
        const Square& s = squares[i];
        sums[i] = s.whole && s.size > kLeaf ? pairs.byFourier(s, fourier) : pairs.direct(s);
        if (meter != nullptr) {
            meter->add(squareWork(s));
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
