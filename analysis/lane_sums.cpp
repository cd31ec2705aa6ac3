// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/lane_sums.h"

#include "analysis/lanes.h"

namespace analysis {

namespace {

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

[[gnu::always_inline]] inline double keptLagSquaresBody(const double* x, std::size_t count,
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

// The terms in sixteen lanes plainly summed, four vectors none of which waits for another: for
// terms of one sign some roundings times the square root of count / 16. terms and term as above.
template <typename Terms, typename Term>
[[gnu::always_inline]] inline double plainSum(std::size_t count, Terms terms, Term term) {
    Lanes s0 = {};
    Lanes s1 = {};
    Lanes s2 = {};
    Lanes s3 = {};
    Lanes y;
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        terms(i, y);
        s0 += y;
        terms(i + 4, y);
        s1 += y;
        terms(i + 8, y);
        s2 += y;
        terms(i + 12, y);
        s3 += y;
    }
    const Lanes lanes = (s0 + s1) + (s2 + s3);
    double sum = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
    for (; i < count; ++i) {
        sum += term(i);
    }
    return sum;
}

[[gnu::always_inline]] inline double weightedBody(const double* values, const double* weights,
                                                  std::size_t count) {
    return plainSum(
        count,
        [values, weights](std::size_t i, Lanes& y) {
            Lanes a;
            Lanes b;
            load(a, values + i);
            load(b, weights + i);
            y = a * b;
        },
        [values, weights](std::size_t i) { return values[i] * weights[i]; });
}

[[gnu::always_inline]] inline double lagSquaresBody(const double* x, std::size_t count,
                                                    std::size_t lag) {
    return plainSum(
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

// The same arithmetic in the processor's wider steps where it has AVX2, chosen at run time.
__attribute__((target("avx2"))) double keptLagSquaresWithAvx2(const double* x, std::size_t count,
                                                              std::size_t lag) {
    return keptLagSquaresBody(x, count, lag);
}

double keptLagSquaresPlain(const double* x, std::size_t count, std::size_t lag) {
    return keptLagSquaresBody(x, count, lag);
}

__attribute__((target("avx2"))) double weightedWithAvx2(const double* values, const double* weights,
                                                        std::size_t count) {
    return weightedBody(values, weights, count);
}

double weightedPlain(const double* values, const double* weights, std::size_t count) {
    return weightedBody(values, weights, count);
}

__attribute__((target("avx2"))) double lagSquaresWithAvx2(const double* x, std::size_t count,
                                                          std::size_t lag) {
    return lagSquaresBody(x, count, lag);
}

double lagSquaresPlain(const double* x, std::size_t count, std::size_t lag) {
    return lagSquaresBody(x, count, lag);
}

bool hasAvx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

} // namespace

double weightedSum(const double* values, const double* weights, std::size_t count) {
    return (hasAvx2() ? weightedWithAvx2 : weightedPlain)(values, weights, count);
}

double lagSquareSum(std::span<const double> x, std::int64_t lag) {
    return lag > 0 && static_cast<std::size_t>(lag) < x.size()
               ? (hasAvx2() ? lagSquaresWithAvx2
                            : lagSquaresPlain)(x.data(), x.size() - static_cast<std::size_t>(lag),
                                               static_cast<std::size_t>(lag))
               : 0;
}

double keptLagSquareSum(std::span<const double> x, std::int64_t lag) {
    return lag > 0 && static_cast<std::size_t>(lag) < x.size()
               ? (hasAvx2() ? keptLagSquaresWithAvx2 : keptLagSquaresPlain)(
                     x.data(), x.size() - static_cast<std::size_t>(lag),
                     static_cast<std::size_t>(lag))
               : 0;
}

} // namespace analysis
