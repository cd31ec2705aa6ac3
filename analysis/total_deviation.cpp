// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/total_deviation.h"

#include "analysis/analysis_control.h"
#include "analysis/parallel_for.h"
#include "analysis/reflected_sums.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace analysis {

namespace {

// TOTDEV does not change when a line is added to x (the odd reflection of a line is the line),
// nor HTOTDEV: both work on x less the line through its ends, each value rounded once (see
// lineResidual), so that what they difference is the size of the noise, not of the phase.
// The values, written once each: not first filled with zeros.
struct Values {
    std::unique_ptr<double[]> data;
    std::size_t size = 0;
    operator std::span<const double>() const { return {data.get(), size}; }
};

Values withoutLine(std::span<const double> x) {
    Values r{std::make_unique_for_overwrite<double[]>(x.size()), x.size()};
    if (x.empty()) {
        return r;
    }
    const std::size_t last = x.size() - 1;
    const double rise = last > 0 ? (x[last] - x[0]) / static_cast<double>(last) : 0;
    for (std::size_t t = 0; t < x.size(); ++t) {
        r.data[t] = lineResidual(x[t], x[0], rise, static_cast<double>(t));
    }
    return r;
}

// Every difference below is then of two values near each other: exact, or rounded at its own
// size.

// The squared second differences (x_(i+m) - x_i) - (x_i - x_(i-m)) for i in [from, to), all three
// inside x: four sums side by side, which the compiler vectorizes.
double innerSquares(const double* x, std::size_t m, std::size_t from, std::size_t to) {
    double sums[4] = {0, 0, 0, 0};
    std::size_t i = from;
    for (; i + 4 <= to; i += 4) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            const double d = (x[i + lane + m] - x[i + lane]) - (x[i + lane] - x[i + lane - m]);
            sums[lane] += d * d;
        }
    }
    for (; i < to; ++i) {
        const double d = (x[i + m] - x[i]) - (x[i] - x[i - m]);
        sums[0] += d * d;
    }
    return (sums[0] + sums[1]) + (sums[2] + sums[3]);
}

// totalSum on x less a line.
SquareSum lineFreeTotalSum(std::span<const double> x, std::int64_t m) {
    const auto points = static_cast<std::int64_t>(x.size());
    SquareSum result;
    if (points < 3 || m < 1 || m > points - 1) {
        return result;
    }
    const std::int64_t last = points - 1;
    const auto value = [&](std::int64_t j) { return x[static_cast<std::size_t>(j)]; };
    // x*_j - x_i, x* the phase reflected oddly at both ends: x*_(-j) = 2 x_0 - x_j,
    // x*_(last + j) = 2 x_last - x_(last - j).
    const auto fromPoint = [&](std::int64_t j, std::int64_t i) {
        if (j < 0) {
            return (value(0) - value(-j)) + (value(0) - value(i));
        }
        if (j > last) {
            return (value(last) - value(2 * last - j)) + (value(last) - value(i));
        }
        return value(j) - value(i);
    };
    const auto reflected = [&](std::int64_t from, std::int64_t to) {
        double sum = 0;
        for (std::int64_t i = from; i < to; ++i) {
            const double d = fromPoint(i - m, i) + fromPoint(i + m, i);
            sum += d * d;
        }
        return sum;
    };
    // The terms that reach past an end, and between them those that stay inside.
    const std::int64_t innerFrom = std::min(m, last);
    const std::int64_t innerTo = std::max(innerFrom, last - m + 1);
    result.sum =
        reflected(1, innerFrom) +
        innerSquares(x.data(), static_cast<std::size_t>(m), static_cast<std::size_t>(innerFrom),
                     static_cast<std::size_t>(innerTo)) +
        reflected(innerTo, last);
    result.terms = points - 2;
    return result;
}

} // namespace

SquareSum totalSum(std::span<const double> x, std::int64_t m) {
    return lineFreeTotalSum(withoutLine(x), m);
}

std::vector<SquareSum> totalSums(std::span<const double> x, std::span<const std::int64_t> factors,
                                 WorkMeter* meter) {
    std::vector<SquareSum> sums(factors.size());
    const Values r = withoutLine(x);
    parallelFor(factors.size(), x.size() * factors.size(), [&](std::size_t f) {
        if (meter != nullptr && meter->cancelled()) {
            return;
        }
        sums[f] = lineFreeTotalSum(r, factors[f]);
        if (meter != nullptr) {
            meter->add(x.size());
        }
    });
    return sums;
}

SquareSum modifiedTotalSum(std::span<const double> x, std::int64_t m, WorkMeter* meter) {
    return reflectedSquareSum(x, m, meter);
}

std::vector<SquareSum> modifiedTotalSums(std::span<const double> x,
                                         std::span<const std::int64_t> factors, WorkMeter* meter) {
    return reflectedSquareSums(x, factors, meter);
}

namespace {

// The overlapping Hadamard sum: the squared third differences of x.
SquareSum hadamardSum(std::span<const double> x) {
    SquareSum result;
    if (x.size() < 4) {
        return result;
    }
    // As differences of neighbours of x less a line (see withoutLine).
    const Values line = withoutLine(x);
    const std::span<const double> r = line;
    for (std::size_t k = 3; k < r.size(); ++k) {
        const double a = r[k] - r[k - 1];
        const double b = r[k - 1] - r[k - 2];
        const double c = r[k - 2] - r[k - 3];
        const double d = (a - b) - (b - c);
        result.sum += d * d;
    }
    result.terms = static_cast<std::int64_t>(x.size() - 3);
    return result;
}

} // namespace

SquareSum hadamardTotalSum(std::span<const double> x, std::int64_t m, WorkMeter* meter) {
    return hadamardTotalSums(x, std::span(&m, 1), meter)[0];
}

std::vector<SquareSum> hadamardTotalSums(std::span<const double> x,
                                         std::span<const std::int64_t> factors, WorkMeter* meter) {
    std::vector<SquareSum> sums(factors.size());
    std::vector<std::int64_t> reflected;
    for (std::size_t f = 0; f < factors.size(); ++f) {
        if (factors[f] == 1) {
            sums[f] = hadamardSum(x);
            if (meter != nullptr) {
                meter->add(reflectedWork(static_cast<std::int64_t>(x.size()), 1));
            }
        } else if (factors[f] > 1) {
            reflected.push_back(factors[f]);
        }
    }
    // The frequencies y_k = x_(k+1) - x_k are the values whose prefix sums x is: never formed.
    const std::vector<SquareSum> fromPrefix = reflectedPrefixSquareSums(x, reflected, meter);
    std::size_t next = 0;
    for (std::size_t f = 0; f < factors.size(); ++f) {
        if (factors[f] > 1) {
            sums[f] = fromPrefix[next++];
        }
    }
    return sums;
}

std::uint64_t reflectedWork(std::int64_t points, std::int64_t m) {
    return reflectedSquareWork(points - 1, m);
}

} // namespace analysis
