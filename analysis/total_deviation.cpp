// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/total_deviation.h"

#include "analysis/analysis_control.h"
#include "analysis/parallel_for.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace analysis {

namespace {

// The reflected 9m-point extension of a 3m-point stretch z with its half-average slope removed,
// and the sum of its 6m squared second differences of m-point sums. Taking out z_0 first keeps the
// prefix sums at the size of the stretch's own variation.
class ReflectedStretch {
public:
    explicit ReflectedStretch(std::size_t m) : m_(m), prefix_(9 * m + 1) {}

    double squaredDifferences(const double* z) {
        const std::size_t n = 3 * m_;
        const std::size_t firstHalf = n / 2;
        const std::size_t secondHalf = (n + 1) / 2;
        double sum1 = 0;
        double sum2 = 0;
        for (std::size_t j = 0; j < firstHalf; ++j) {
            sum1 += z[j] - z[0];
        }
        for (std::size_t j = secondHalf; j < n; ++j) {
            sum2 += z[j] - z[0];
        }
        // The two halves' means lie (n + 1) / 2 points apart for odd n, n / 2 for even n.
        const double distance =
            n % 2 == 1 ? 0.5 * static_cast<double>(n - 1) + 1 : 0.5 * static_cast<double>(n);
        const double slope = (sum2 - sum1) / static_cast<double>(firstHalf) / distance;
        const auto w = [&](std::size_t j) { return z[j] - z[0] - slope * static_cast<double>(j); };
        double* p = prefix_.data();
        p[0] = 0;
        for (std::size_t t = 0; t < n; ++t) {
            p[t + 1] = p[t] + w(n - 1 - t);
        }
        for (std::size_t t = 0; t < n; ++t) {
            p[n + t + 1] = p[n + t] + w(t);
        }
        for (std::size_t t = 0; t < n; ++t) {
            p[2 * n + t + 1] = p[2 * n + t] + w(n - 1 - t);
        }
        double squares = 0;
        for (std::size_t j = 0; j < 2 * n; ++j) {
            const double d = p[j + 3 * m_] - 3 * p[j + 2 * m_] + 3 * p[j + m_] - p[j];
            squares += d * d;
        }
        return squares;
    }

private:
    std::size_t m_;
    std::vector<double> prefix_;
};

SquareSum reflectedSum(const double* z, std::size_t points, std::size_t m, WorkMeter* meter) {
    SquareSum result;
    if (m < 1 || points < 3 * m) {
        return result;
    }
    // Stretches in pieces of a size fixed by m spread over the threads, the pieces' sums added
    // in order: the same result however many threads there are.
    // About a million steps a piece at most, so a cancel is seen within milliseconds.
    const std::size_t piece = std::clamp<std::size_t>(1'000'000 / (15 * m), 1, 64);
    const std::size_t stretches = points - 3 * m + 1;
    const std::size_t pieces = (stretches + piece - 1) / piece;
    const std::uint64_t stepsPerStretch =
        reflectedWork(static_cast<std::int64_t>(3 * m), static_cast<std::int64_t>(m));
    std::vector<double> sums(pieces, 0.0);
    parallelFor(pieces, stretches * 15 * m, [&](std::size_t p) {
        if (meter != nullptr && meter->cancelled()) {
            return;
        }
        ReflectedStretch stretch(m);
        const std::size_t begin = p * piece;
        const std::size_t end = std::min(stretches, begin + piece);
        double sum = 0;
        for (std::size_t i = begin; i < end; ++i) {
            sum += stretch.squaredDifferences(z + i) / (6.0 * static_cast<double>(m));
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
    return m < 1 ? SquareSum{}
                 : reflectedSum(x.data(), x.size(), static_cast<std::size_t>(m), meter);
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
