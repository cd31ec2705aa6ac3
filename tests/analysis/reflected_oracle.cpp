// SPDX-License-Identifier: GPL-3.0-or-later
#include "reflected_oracle.h"

#include <cstddef>
#include <vector>

namespace analysis_test {

namespace {

template <typename Real> Real oracle(const std::vector<Real>& z, std::int64_t m) {
    const auto um = static_cast<std::size_t>(m);
    const std::size_t n = 3 * um;
    if (m < 1 || z.size() < n) {
        return 0;
    }
    const std::size_t half = n / 2;
    const Real distance = n % 2 == 1 ? Real(n + 1) / 2 : Real(n) / 2;
    Real total = 0;
    std::vector<Real> w(n);
    std::vector<Real> prefix(3 * n + 1);
    for (std::size_t i = 0; i + n <= z.size(); ++i) {
        Real first = 0;
        Real last = 0;
        for (std::size_t t = 0; t < n; ++t) {
            w[t] = z[i + t] - z[i];
            if (t < half) {
                first += w[t];
            }
            if (t >= n - half) {
                last += w[t];
            }
        }
        const Real slope = (last - first) / static_cast<Real>(half) / distance;
        for (std::size_t t = 0; t < n; ++t) {
            w[t] -= slope * static_cast<Real>(t);
        }
        // The stretch reversed, as it is, reversed again; the m-sum at k is prefix[k + m] -
        // prefix[k].
        prefix[0] = 0;
        for (std::size_t k = 0; k < 3 * n; ++k) {
            const std::size_t t = k < n ? n - 1 - k : k < 2 * n ? k - n : 3 * n - 1 - k;
            prefix[k + 1] = prefix[k] + w[t];
        }
        const auto sumAt = [&](std::size_t k) { return prefix[k + um] - prefix[k]; };
        Real squares = 0;
        for (std::size_t j = 0; j < 2 * n; ++j) {
            const Real d = sumAt(j) - 2 * sumAt(j + um) + sumAt(j + 2 * um);
            squares += d * d;
        }
        total += squares / (6 * static_cast<Real>(m));
    }
    return total;
}

template <typename Real> std::vector<Real> values(std::span<const double> z) {
    return std::vector<Real>(z.begin(), z.end());
}

template <typename Real> std::vector<Real> differences(std::span<const double> prefix) {
    std::vector<Real> z;
    for (std::size_t t = 0; t + 1 < prefix.size(); ++t) {
        z.push_back(static_cast<Real>(prefix[t + 1]) - static_cast<Real>(prefix[t]));
    }
    return z;
}

} // namespace

long double reflectedOracle(std::span<const double> z, std::int64_t m) {
    return oracle(values<long double>(z), m);
}

long double reflectedPrefixOracle(std::span<const double> prefix, std::int64_t m) {
    return oracle(differences<long double>(prefix), m);
}

long double reflectedQuadOracle(std::span<const double> z, std::int64_t m) {
    return static_cast<long double>(oracle(values<__float128>(z), m));
}

long double reflectedPrefixQuadOracle(std::span<const double> prefix, std::int64_t m) {
    return static_cast<long double>(oracle(differences<__float128>(prefix), m));
}

long double totalQuadOracle(std::span<const double> x, std::int64_t m) {
    const auto last = static_cast<std::int64_t>(x.size()) - 1;
    const auto at = [&](std::int64_t j) -> __float128 {
        return j < 0      ? 2 * static_cast<__float128>(x[0]) - x[static_cast<std::size_t>(-j)]
               : j > last ? 2 * static_cast<__float128>(x[static_cast<std::size_t>(last)]) -
                                x[static_cast<std::size_t>(2 * last - j)]
                          : static_cast<__float128>(x[static_cast<std::size_t>(j)]);
    };
    __float128 sum = 0;
    for (std::int64_t i = 1; i < last; ++i) {
        const __float128 d = at(i - m) - 2 * at(i) + at(i + m);
        sum += d * d;
    }
    return static_cast<long double>(sum);
}

} // namespace analysis_test
