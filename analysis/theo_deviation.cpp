// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/theo_deviation.h"

#include "analysis/analysis_control.h"
#include "analysis/parallel_for.h"

#include <cstddef>
#include <vector>

namespace analysis {

namespace {

// The sum of ((a_i - b_i) + (c_i - e_i))^2: four sums side by side, since one would wait for each
// addition to finish before the next; built for AVX2 too, taken where the processor has it.
[[gnu::always_inline]] inline double squaredCombinationsBody(const double* a, const double* b,
                                                             const double* c, const double* e,
                                                             std::size_t count) {
    double sum[4] = {0, 0, 0, 0};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            const double v = (a[i + lane] - b[i + lane]) + (c[i + lane] - e[i + lane]);
            sum[lane] += v * v;
        }
    }
    for (; i < count; ++i) {
        const double v = (a[i] - b[i]) + (c[i] - e[i]);
        sum[0] += v * v;
    }
    return (sum[0] + sum[1]) + (sum[2] + sum[3]);
}

__attribute__((target("avx2"))) double squaredCombinationsWithAvx2(const double* a, const double* b,
                                                                   const double* c, const double* e,
                                                                   std::size_t count) {
    return squaredCombinationsBody(a, b, c, e, count);
}

double squaredCombinationsPlain(const double* a, const double* b, const double* c, const double* e,
                                std::size_t count) {
    return squaredCombinationsBody(a, b, c, e, count);
}

// The processor's own instructions where it has AVX2: the same arithmetic, in wider steps. Chosen
// at run time, not by the loader: sanitizer builds must start before any choice is made.
double squaredCombinations(const double* a, const double* b, const double* c, const double* e,
                           std::size_t count) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return (avx2 ? squaredCombinationsWithAvx2 : squaredCombinationsPlain)(a, b, c, e, count);
}

} // namespace

SquareSum theo1Sum(std::span<const double> x, std::int64_t m, WorkMeter* meter) {
    const auto points = static_cast<std::int64_t>(x.size());
    SquareSum result;
    if (m < 2 || m % 2 != 0 || m > points - 1) {
        return result;
    }
    const auto half = static_cast<std::size_t>(m / 2);
    const std::size_t outer = static_cast<std::size_t>(points - m);
    const double* p = x.data();
    // For each d the sum over i is one pass over contiguous memory; the d are spread over the
    // threads and their sums added in order, so the result does not depend on how many there are.
    std::vector<double> sums(half, 0.0);
    parallelFor(half, half * outer, [&](std::size_t d) {
        if (meter != nullptr && meter->cancelled()) {
            return;
        }
        const double* a = p;
        const double* b = p + half - d;
        const double* c = p + 2 * half;
        const double* e = p + half + d;
        sums[d] = squaredCombinations(a, b, c, e, outer) / static_cast<double>(half - d);
        if (meter != nullptr) {
            meter->add(outer);
        }
    });
    for (double sum : sums) {
        result.sum += sum;
    }
    result.terms = points - m;
    return result;
}

SquareSum allanSum(std::span<const double> x, std::int64_t m) {
    SquareSum result;
    const auto lag = static_cast<std::size_t>(m);
    if (m < 1 || x.size() <= 2 * lag) {
        return result;
    }
    for (std::size_t k = 2 * lag; k < x.size(); ++k) {
        const double d = x[k] - 2 * x[k - lag] + x[k - 2 * lag];
        result.sum += d * d;
    }
    result.terms = static_cast<std::int64_t>(x.size() - 2 * lag);
    return result;
}

std::uint64_t theo1Work(std::int64_t points, std::int64_t m) {
    return points > m ? static_cast<std::uint64_t>(points - m) * static_cast<std::uint64_t>(m / 2)
                      : 0;
}

} // namespace analysis
