// SPDX-License-Identifier: GPL-3.0-or-later
#include "reflected_oracle.h"

#include <cstddef>
#include <vector>

namespace analysis_test {

long double reflectedOracle(std::span<const double> z, std::int64_t m) {
    const auto um = static_cast<std::size_t>(m);
    const std::size_t n = 3 * um;
    if (m < 1 || z.size() < n) {
        return 0;
    }
    const std::size_t half = n / 2;
    const long double distance = n % 2 == 1 ? (n + 1) / 2.0L : n / 2.0L;
    long double total = 0;
    std::vector<long double> w(n);
    std::vector<long double> extended(3 * n);
    for (std::size_t i = 0; i + n <= z.size(); ++i) {
        long double first = 0;
        long double last = 0;
        for (std::size_t t = 0; t < n; ++t) {
            w[t] = static_cast<long double>(z[i + t]) - z[i];
            if (t < half) {
                first += w[t];
            }
            if (t >= n - half) {
                last += w[t];
            }
        }
        const long double slope = (last - first) / static_cast<long double>(half) / distance;
        for (std::size_t t = 0; t < n; ++t) {
            w[t] -= slope * static_cast<long double>(t);
            extended[n - 1 - t] = w[t];
            extended[n + t] = w[t];
            extended[3 * n - 1 - t] = w[t];
        }
        const auto sumAt = [&](std::size_t k) {
            long double sum = 0;
            for (std::size_t t = k; t < k + um; ++t) {
                sum += extended[t];
            }
            return sum;
        };
        long double squares = 0;
        for (std::size_t j = 0; j < 2 * n; ++j) {
            const long double d = sumAt(j) - 2 * sumAt(j + um) + sumAt(j + 2 * um);
            squares += d * d;
        }
        total += squares / (6.0L * static_cast<long double>(m));
    }
    return total;
}

} // namespace analysis_test
