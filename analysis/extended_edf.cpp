// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/extended_edf.h"

#include <array>
#include <cmath>
#include <utility>

namespace analysis {

namespace {

std::optional<double> positive(double edf) {
    return std::isfinite(edf) && edf > 0 ? std::optional<double>(edf) : std::nullopt;
}

// Table 5: the simple EDF of the overlapping Allan variance, used by TOTDEV for PM noise.
double simpleEdf(int alpha, double n, double m) {
    if (alpha == 2) {
        return (n + 1) * (n - 2 * m) / (2 * (n - m));
    }
    return std::exp(std::sqrt(std::log((n - 1) / (2 * m)) * std::log((2 * m + 1) * (n - 1) / 4)));
}

} // namespace

std::optional<double> totalEdf(int alpha, std::int64_t m, std::int64_t points) {
    const double n = static_cast<double>(points);
    const double md = static_cast<double>(m);
    switch (alpha) {
    case 2:
    case 1:
        return positive(simpleEdf(alpha, n, md));
    case 0:
        return positive(1.50 * n / md);
    case -1:
        return positive(1.17 * n / md - 0.22);
    case -2:
        return positive(0.93 * n / md - 0.36);
    default:
        return std::nullopt;
    }
}

std::optional<double> modifiedTotalEdf(int alpha, std::int64_t m, std::int64_t points) {
    static constexpr std::array<std::pair<double, double>, 5> kTable8{
        {{1.90, 2.1}, {1.20, 1.40}, {1.10, 1.2}, {0.85, 0.50}, {0.75, 0.31}}};
    if (alpha > 2 || alpha < -2) {
        return std::nullopt;
    }
    const auto [b, c] = kTable8[static_cast<std::size_t>(2 - alpha)];
    return positive(b * static_cast<double>(points) / static_cast<double>(m) - c);
}

std::optional<double> theo1Edf(int alpha, std::int64_t m, std::int64_t points) {
    const double n = static_cast<double>(points);
    const double r = 0.75 * static_cast<double>(m);
    switch (alpha) {
    case 2:
        return positive(0.86 * (n + 1) * (n - 4 * r / 3) / (n - r) * r / (r + 1.14));
    case 1:
        return positive((4.798 * n * n - 6.374 * n * r + 12.387 * r) /
                        (std::sqrt(r + 36.6) * (n - r)) * r / (r + 0.3));
    case 0:
        return positive(((4.1 * n + 0.8) / r - (3.1 * n + 6.5) / n) * std::pow(r, 1.5) /
                        (std::pow(r, 1.5) + 5.2));
    case -1:
        return positive((2 * n * n - 1.3 * n * r - 3.5 * r) / (n * r) * r * r * r /
                        (r * r * r + 2.3));
    case -2: {
        const double a = 4.4 * n - 1;
        return positive((4.4 * n - 2) / (2.9 * r) * (a * a - 8.6 * r * a + 11.4 * r * r) /
                        ((4.4 * n - 3) * (4.4 * n - 3)));
    }
    default:
        return std::nullopt;
    }
}

std::optional<double> totalBias(int alpha, double tauOverRun) {
    switch (alpha) {
    case -1:
        return 1 - 0.481 * tauOverRun;
    case -2:
        return 1 - 0.750 * tauOverRun;
    default:
        return std::nullopt;
    }
}

std::optional<double> modifiedTotalBias(int alpha) {
    static constexpr std::array<double, 5> kRatio{0.94, 0.83, 0.73, 0.70, 0.69};
    if (alpha > 2 || alpha < -2) {
        return std::nullopt;
    }
    return kRatio[static_cast<std::size_t>(2 - alpha)];
}

std::optional<double> hadamardTotalBias(int alpha) {
    static constexpr std::array<double, 5> kRatio{0.995, 0.851, 0.771, 0.717, 0.679};
    if (alpha > 0 || alpha < -4) {
        return std::nullopt;
    }
    return kRatio[static_cast<std::size_t>(-alpha)];
}

} // namespace analysis
