// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/total_deviation.h"

#include "analysis/analysis_control.h"
#include "analysis/parallel_for.h"
#include "analysis/reflected_sums.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace analysis {

namespace {

constexpr std::size_t kLanes = 4;

// For the kLanes stretches of 3m points starting at z, z + 1, ...: each with its half-average
// slope removed and reflected evenly at both ends to 9m points, the sum of its 6m squared second
// differences of m-point sums, into squares. Taking out each stretch's first value keeps the
// prefix sums at the size of its own variation. The stretches are worked on side by side, one
// lane each, so their sums, each a chain that waits on its last addition, overlap; built for
// AVX2 too. prefix: room for (9m + 1) kLanes values.
[[gnu::always_inline]] inline void reflectedSquaresBody(const double* z, std::size_t m,
                                                        double* prefix, double* squares) {
    const std::size_t n = 3 * m;
    const std::size_t firstHalf = n / 2;
    const std::size_t secondHalf = (n + 1) / 2;
    double base[kLanes];
    double sum1[kLanes] = {};
    double sum2[kLanes] = {};
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        base[lane] = z[lane];
    }
    for (std::size_t j = 0; j < firstHalf; ++j) {
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            sum1[lane] += z[j + lane] - base[lane];
        }
    }
    for (std::size_t j = secondHalf; j < n; ++j) {
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            sum2[lane] += z[j + lane] - base[lane];
        }
    }
    // The two halves' means lie (n + 1) / 2 points apart for odd n, n / 2 for even n.
    const double distance =
        n % 2 == 1 ? 0.5 * static_cast<double>(n - 1) + 1 : 0.5 * static_cast<double>(n);
    double slope[kLanes];
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        slope[lane] = (sum2[lane] - sum1[lane]) / static_cast<double>(firstHalf) / distance;
    }
    double* p = prefix;
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        p[lane] = 0;
    }
    // The three parts of the extension: the stretch reversed, as it is, reversed again.
    for (std::size_t part = 0; part < 3; ++part) {
        for (std::size_t t = 0; t < n; ++t) {
            const std::size_t j = part == 1 ? t : n - 1 - t;
            double* previous = p + (part * n + t) * kLanes;
            double* next = previous + kLanes;
            for (std::size_t lane = 0; lane < kLanes; ++lane) {
                next[lane] = previous[lane] +
                             (z[j + lane] - base[lane] - slope[lane] * static_cast<double>(j));
            }
        }
    }
    double sum[kLanes] = {};
    for (std::size_t j = 0; j < 2 * n; ++j) {
        const double* p0 = p + j * kLanes;
        const double* p1 = p + (j + m) * kLanes;
        const double* p2 = p + (j + 2 * m) * kLanes;
        const double* p3 = p + (j + 3 * m) * kLanes;
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            const double d = p3[lane] - 3 * p2[lane] + 3 * p1[lane] - p0[lane];
            sum[lane] += d * d;
        }
    }
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        squares[lane] = sum[lane];
    }
}

__attribute__((target("avx2"))) void reflectedSquaresWithAvx2(const double* z, std::size_t m,
                                                              double* prefix, double* squares) {
    reflectedSquaresBody(z, m, prefix, squares);
}

void reflectedSquaresPlain(const double* z, std::size_t m, double* prefix, double* squares) {
    reflectedSquaresBody(z, m, prefix, squares);
}

// The processor's own instructions where it has AVX2: the same arithmetic, in wider steps. Chosen
// at run time, not by the loader: sanitizer builds must start before any choice is made.
void reflectedSquares(const double* z, std::size_t m, double* prefix, double* squares) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    (avx2 ? reflectedSquaresWithAvx2 : reflectedSquaresPlain)(z, m, prefix, squares);
}

SquareSum reflectedSum(const double* z, std::size_t points, std::size_t m, WorkMeter* meter) {
    SquareSum result;
    if (m < 1 || points < 3 * m) {
        return result;
    }
    // Stretches in pieces of a size fixed by m spread over the threads, the pieces' sums added
    // in order: the same result however many threads there are.
    // About a million steps a piece at most, so a cancel is seen within milliseconds.
    const std::size_t piece = kLanes * std::clamp<std::size_t>(250'000 / (15 * m), 1, 16);
    const std::size_t stretches = points - 3 * m + 1;
    const std::size_t pieces = (stretches + piece - 1) / piece;
    const std::uint64_t stepsPerStretch =
        reflectedWork(static_cast<std::int64_t>(3 * m), static_cast<std::int64_t>(m));
    std::vector<double> sums(pieces, 0.0);
    parallelFor(pieces, stretches * 15 * m, [&](std::size_t p) {
        if (meter != nullptr && meter->cancelled()) {
            return;
        }
        std::vector<double> prefix((9 * m + 1) * kLanes);
        const std::size_t begin = p * piece;
        const std::size_t end = std::min(stretches, begin + piece);
        double sum = 0;
        for (std::size_t i = begin; i < end; i += kLanes) {
            double squares[kLanes];
            if (i + kLanes <= stretches) {
                reflectedSquares(z + i, m, prefix.data(), squares);
            } else {
                // Fewer stretches than lanes are left: each alone in lane 0 of a padded copy.
                std::vector<double> alone(3 * m + kLanes - 1);
                for (std::size_t lane = 0; i + lane < stretches; ++lane) {
                    std::copy(z + i + lane, z + i + lane + 3 * m, alone.begin());
                    std::fill(alone.begin() + static_cast<std::ptrdiff_t>(3 * m), alone.end(),
                              alone[3 * m - 1]);
                    double one[kLanes];
                    reflectedSquares(alone.data(), m, prefix.data(), one);
                    squares[lane] = one[0];
                }
            }
            for (std::size_t lane = 0; lane < kLanes && i + lane < end; ++lane) {
                sum += squares[lane] / (6.0 * static_cast<double>(m));
            }
        }
        sums[p] = sum;
        if (meter != nullptr) {
            meter->add(stepsPerStretch * (end - begin));
        }
    });
    for (double sum : sums) {
        result.sum += sum;
    }
    result.terms = static_cast<std::int64_t>(stretches);
    return result;
}

} // namespace

SquareSum totalSum(std::span<const double> x, std::int64_t m) {
    const auto points = static_cast<std::int64_t>(x.size());
    SquareSum result;
    if (points < 3 || m < 1 || m > points - 1) {
        return result;
    }
    const std::int64_t last = points - 1;
    const auto at = [&](std::int64_t j) {
        if (j < 0) {
            return 2 * x[0] - x[static_cast<std::size_t>(-j)];
        }
        if (j > last) {
            return 2 * x[static_cast<std::size_t>(last)] -
                   x[static_cast<std::size_t>(2 * last - j)];
        }
        return x[static_cast<std::size_t>(j)];
    };
    double sum = 0;
    for (std::int64_t i = 1; i < last; ++i) {
        const double d = at(i - m) - 2 * x[static_cast<std::size_t>(i)] + at(i + m);
        sum += d * d;
    }
    result.sum = sum;
    result.terms = points - 2;
    return result;
}

SquareSum modifiedTotalSum(std::span<const double> x, std::int64_t m, WorkMeter* meter) {
    return reflectedSquareSum(x, m, meter);
}

SquareSum hadamardTotalSum(std::span<const double> x, std::int64_t m, WorkMeter* meter) {
    SquareSum result;
    if (m < 1 || x.size() < 4) {
        return result;
    }
    if (m == 1) {
        for (std::size_t k = 3; k < x.size(); ++k) {
            const double d = x[k] - 3 * x[k - 1] + 3 * x[k - 2] - x[k - 3];
            result.sum += d * d;
        }
        result.terms = static_cast<std::int64_t>(x.size() - 3);
        return result;
    }
    std::vector<double> frequency(x.size() - 1);
    for (std::size_t k = 0; k + 1 < x.size(); ++k) {
        frequency[k] = x[k + 1] - x[k];
    }
    return reflectedSum(frequency.data(), frequency.size(), static_cast<std::size_t>(m), meter);
}

std::uint64_t reflectedWork(std::int64_t points, std::int64_t m) {
    return points >= 3 * m
               ? static_cast<std::uint64_t>(points - 3 * m + 1) * static_cast<std::uint64_t>(15 * m)
               : 0;
}

} // namespace analysis
