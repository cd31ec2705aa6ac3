// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/chi_squared.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

namespace {

constexpr double kRelativeEpsilon = 1e-16;
constexpr int kMaxSeriesTerms = 1'000'000;
constexpr double kTiny = 1e-300;

// ln Gamma(a) for a > 0 by Lanczos' approximation (g = 7, nine terms, about 1e-15 relative).
// std::lgamma would do, but it writes the global signgam, which two analyses on two threads
// would race on.
double logGamma(double a) {
    static constexpr double kCoefficients[] = {
        0.99999999999980993,  676.5203681218851,     -1259.1392167224028,
        771.32342877765313,   -176.61502916214059,   12.507343278686905,
        -0.13857109526572012, 9.9843695780195716e-6, 1.5056327351493116e-7};
    constexpr double kPi = 3.14159265358979323846;
    if (a < 0.5) {
        return std::log(kPi / std::fabs(std::sin(kPi * a))) - logGamma(1.0 - a);
    }
    const double z = a - 1.0;
    double sum = kCoefficients[0];
    for (int i = 1; i < 9; ++i) {
        sum += kCoefficients[i] / (z + i);
    }
    const double t = z + 7.5;
    return 0.5 * std::log(2 * kPi) + (z + 0.5) * std::log(t) - t + std::log(sum);
}

// exp(-x) x^a / Gamma(a), the factor both expansions share, formed in logarithms so that
// large a (thousands of degrees of freedom) does not overflow.
double prefactor(double a, double x) {
    return std::exp(a * std::log(x) - x - logGamma(a));
}

// P(a, x) = prefactor * sum x^n / (a (a+1) ... (a+n)); converges fast for x < a + 1.
double lowerSeries(double a, double x) {
    double term = 1.0 / a;
    double sum = term;
    for (int n = 1; n < kMaxSeriesTerms; ++n) {
        term *= x / (a + n);
        sum += term;
        if (std::fabs(term) < std::fabs(sum) * kRelativeEpsilon) {
            break;
        }
    }
    return sum * prefactor(a, x);
}

// Q(a, x) = 1 - P(a, x) by its continued fraction (modified Lentz), for x >= a + 1.
double upperContinuedFraction(double a, double x) {
    double b = x + 1.0 - a;
    double c = 1.0 / kTiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < kMaxSeriesTerms; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        if (std::fabs(d) < kTiny) {
            d = kTiny;
        }
        c = b + an / c;
        if (std::fabs(c) < kTiny) {
            c = kTiny;
        }
        d = 1.0 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1.0) < kRelativeEpsilon) {
            break;
        }
    }
    return h * prefactor(a, x);
}

} // namespace

double regularizedLowerGamma(double a, double x) {
    if (!(x > 0)) {
        return 0;
    }
    if (std::isinf(x)) {
        return 1;
    }
    if (x < a + 1.0) {
        return lowerSeries(a, x);
    }
    return 1.0 - upperContinuedFraction(a, x);
}

double chiSquaredQuantile(double p, double dof) {
    if (!(p > 0 && p < 1 && dof > 0 && std::isfinite(dof))) {
        return 0;
    }
    // Solve P(a, g) = p for g, the quantile being 2 g. A bracket [low, high] that always holds
    // the root keeps the Newton steps safe; where a step leaves it, halve the bracket instead
    // (geometrically while it spans orders of magnitude, as it does for small a and p).
    const double a = dof / 2.0;
    double low = 0;
    double high = std::max(1.0, a);
    while (regularizedLowerGamma(a, high) < p) {
        low = high;
        high *= 2;
    }
    double g = 0.5 * (low + high);
    for (int iteration = 0; iteration < 400; ++iteration) {
        const double residual = regularizedLowerGamma(a, g) - p;
        if (residual < 0) {
            low = g;
        } else {
            high = g;
        }
        const double slope = prefactor(a, g) / g;
        double next = g - residual / slope;
        if (!(next > low && next < high) || !std::isfinite(next)) {
            next = (low > 0 && high / low > 4) ? std::sqrt(low * high)
                   : low > 0                   ? 0.5 * (low + high)
                                               : high / 16;
        }
        if (std::fabs(next - g) <= 4 * std::numeric_limits<double>::epsilon() * g) {
            g = next;
            break;
        }
        g = next;
    }
    return 2.0 * g;
}

} // namespace analysis
