// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/greenhall_edf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace analysis {

namespace {

constexpr double kInfinite = std::numeric_limits<double>::infinity();
constexpr double kMaxDirectSum = 100; // J_max: longest autocovariance sum taken term by term

using Coefficients = std::pair<double, double>;

// Greenhall's eq. (7): the generalized autocovariance kernel of the noise type.
double sw(double t, int alpha) {
    const double a = std::fabs(t);
    switch (alpha) {
    case 2:
        return -a;
    case 1:
        return t == 0 ? 0 : t * t * std::log(a);
    case 0:
        return a * a * a;
    case -1:
        return t == 0 ? 0 : std::pow(t, 4) * std::log(a);
    case -2:
        return std::pow(a, 5);
    case -3:
        return t == 0 ? 0 : std::pow(t, 6) * std::log(a);
    default:
        return std::pow(a, 7);
    }
}

// Eq. (8): the kernel after the averaging filter of factor f (f infinite: no filter).
double sx(double t, double f, int alpha) {
    if (std::isinf(f)) {
        return sw(t, alpha + 2);
    }
    return f * f * (2 * sw(t, alpha) - sw(t - 1.0 / f, alpha) - sw(t + 1.0 / f, alpha));
}

// Eq. (9): the kernel after the d-th difference (binomial weights).
double sz(double t, double f, int alpha, int d) {
    static constexpr std::array<std::array<double, 4>, 3> kBinomial{
        {{2, -1, 0, 0}, {6, -4, 1, 0}, {20, -15, 6, -1}}};
    const auto& weights = kBinomial[d - 1];
    double sum = weights[0] * sx(t, f, alpha);
    for (int k = 1; k <= d; ++k) {
        sum += weights[k] * (sx(t - k, f, alpha) + sx(t + k, f, alpha));
    }
    return sum;
}

// Eq. (10).
double basicSum(double j, double m, double s, double f, int alpha, int d) {
    const double first = std::pow(sz(0, f, alpha, d), 2);
    const double second = (1 - j / m) * std::pow(sz(j / s, f, alpha, d), 2);
    double third = 0;
    for (int i = 1; i < static_cast<int>(j); ++i) {
        third += 2 * (1.0 - i / m) * std::pow(sz(i / s, f, alpha, d), 2);
    }
    return first + second + third;
}

// Tables 1 (modified variances) and 2 (unmodified, alpha <= 0 or 1): rows alpha = 2 .. -4,
// columns d = 1 .. 3; (0, 0) where the combination is not allowed.
Coefficients table1(int alpha, int d) {
    static constexpr std::array<std::array<Coefficients, 3>, 7> kTable{{
        {{{2.0 / 3.0, 1.0 / 3.0}, {7.0 / 9.0, 1.0 / 2.0}, {22.0 / 25.0, 2.0 / 3.0}}},
        {{{0.840, 0.345}, {0.997, 0.616}, {1.141, 0.843}}},
        {{{1.079, 0.368}, {1.033, 0.607}, {1.184, 0.848}}},
        {{{0, 0}, {1.048, 0.534}, {1.180, 0.816}}},
        {{{0, 0}, {1.302, 0.535}, {1.175, 0.777}}},
        {{{0, 0}, {0, 0}, {1.194, 0.703}}},
        {{{0, 0}, {0, 0}, {1.489, 0.702}}},
    }};
    return kTable[2 - alpha][d - 1];
}

Coefficients table2(int alpha, int d) {
    static constexpr std::array<std::array<Coefficients, 3>, 7> kTable{{
        {{{3.0 / 2.0, 1.0 / 2.0}, {35.0 / 18.0, 1.0}, {231.0 / 100.0, 3.0 / 2.0}}},
        {{{78.6, 25.2}, {790.0, 410.0}, {9950.0, 6520.0}}},
        {{{2.0 / 3.0, 1.0 / 6.0}, {2.0 / 3.0, 1.0 / 3.0}, {7.0 / 9.0, 1.0 / 2.0}}},
        {{{0, 0}, {0.852, 0.375}, {0.997, 0.617}}},
        {{{0, 0}, {1.079, 0.368}, {1.033, 0.607}}},
        {{{0, 0}, {0, 0}, {1.053, 0.553}}},
        {{{0, 0}, {0, 0}, {1.302, 0.535}}},
    }};
    return kTable[2 - alpha][d - 1];
}

// Table 3: flicker phase noise (alpha = 1), unmodified variances.
Coefficients table3(int d) {
    static constexpr std::array<Coefficients, 3> kTable{{{6.0, 4.0}, {15.23, 12.0}, {47.8, 40.0}}};
    return kTable[d - 1];
}

double binomial(int n, int k) {
    double result = 1;
    for (int i = 1; i <= k; ++i) {
        result = result * (n - k + i) / i;
    }
    return result;
}

// 1/edf from the direct sum over the autocovariances, eq. (13).
double inverseFromSum(double j, double terms, double s, double f, double fNormalizing, int alpha,
                      int d) {
    return basicSum(j, terms, s, f, alpha, d) /
           (std::pow(sz(0, fNormalizing, alpha, d), 2) * terms);
}

} // namespace

std::optional<double> greenhallEdf(int alpha, int d, std::int64_t m, std::int64_t phasePoints,
                                   bool overlapping, bool modified) {
    if (d < 1 || d > 3 || alpha > 2 || alpha < -4 || alpha + 2 * d <= 1 || m < 1) {
        return std::nullopt;
    }
    const double md = static_cast<double>(m);
    const double f = modified ? 1.0 : md;    // filter factor
    const double s = overlapping ? md : 1.0; // stride factor
    const double length = md / f + md * d;   // length of the filter on the phase
    const double terms = 1 + std::floor(s * (static_cast<double>(phasePoints) - length) / md);
    if (terms < 1) {
        return std::nullopt;
    }
    const double j = std::min(terms, (d + 1) * s);
    const double r = terms / s;
    double inverse = 0;
    if (modified) {
        if (j <= kMaxDirectSum) {
            inverse = inverseFromSum(j, terms, s, 1, 1, alpha, d);
        } else if (r > d + 1) {
            const auto [a0, a1] = table1(alpha, d);
            inverse = (a0 - a1 / r) / r;
        } else {
            inverse =
                inverseFromSum(kMaxDirectSum, kMaxDirectSum, kMaxDirectSum / r, 1, 1, alpha, d);
        }
    } else if (alpha <= 0) {
        if (j <= kMaxDirectSum) {
            const double filter = md * (d + 1) <= kMaxDirectSum ? md : kInfinite;
            inverse = inverseFromSum(j, terms, s, filter, filter, alpha, d);
        } else if (r > d + 1) {
            const auto [a0, a1] = table2(alpha, d);
            inverse = (a0 - a1 / r) / r;
        } else {
            inverse = inverseFromSum(kMaxDirectSum, kMaxDirectSum, kMaxDirectSum / r, kInfinite,
                                     kInfinite, alpha, d);
        }
    } else if (alpha == 1) {
        const auto [b0, b1] = table3(d);
        const double norm = std::pow(b0 + b1 * std::log(md), 2);
        if (j <= kMaxDirectSum) {
            inverse = inverseFromSum(j, terms, s, md, md, alpha, d);
        } else if (r > d + 1) {
            const auto [a0, a1] = table2(alpha, d);
            inverse = (a0 - a1 / r) / (norm * r);
        } else {
            const double mPrime = kMaxDirectSum / r;
            inverse = basicSum(kMaxDirectSum, kMaxDirectSum, mPrime, mPrime, alpha, d) /
                      (norm * kMaxDirectSum);
        }
    } else {
        if (std::ceil(r) <= d) {
            return std::nullopt;
        }
        const double a0 = binomial(4 * d, 2 * d) / std::pow(binomial(2 * d, d), 2);
        const double a1 = d / 2.0;
        inverse = (a0 - a1 / r) / terms;
    }
    const double edf = 1.0 / inverse;
    if (!std::isfinite(edf) || !(edf > 0)) {
        return std::nullopt;
    }
    return edf;
}

} // namespace analysis
