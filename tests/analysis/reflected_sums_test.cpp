// SPDX-License-Identifier: GPL-3.0-or-later
// The reflected sums behind MTOTDEV, TTOTDEV and HTOTDEV, formed from prefix sums over all
// stretches at once, against the same sums formed stretch by stretch as they are defined.
#include "reflected_oracle.h"

#include "analysis/reflected_sums.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// Phase noise of a few kinds: white, a random walk of the frequency, and the same with a large
// offset and drift, which the sums must not see.
std::vector<double> series(int kind, std::size_t points) {
    std::mt19937_64 generator(17 + kind);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<double> x(points);
    double walk = 0;
    double phase = 0;
    for (std::size_t k = 0; k < points; ++k) {
        walk += noise(generator);
        phase += walk;
        x[k] = kind == 0 ? noise(generator) : kind == 1 ? phase : 1e6 + 5.0 * k + 1e-3 * phase;
    }
    return x;
}

TEST(ReflectedSums, EqualTheStretchByStretchSums) {
    // Odd and even 3m, a single stretch, stretches that fill blocks unevenly.
    const std::int64_t factors[] = {1, 2, 3, 4, 7, 16, 33, 100, 999, 1000};
    for (int kind = 0; kind < 3; ++kind) {
        const std::vector<double> x = series(kind, 3001);
        for (std::int64_t m : factors) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " m " << m);
            const analysis::SquareSum fast = analysis::reflectedSquareSum(x, m, nullptr);
            const long double slow = analysis_test::reflectedOracle(x, m);
            EXPECT_EQ(fast.terms, 3001 - 3 * m + 1);
            EXPECT_LE(std::fabs(fast.sum - slow), 1e-9 * slow) << fast.sum << " vs " << slow;
        }
    }
}

TEST(ReflectedSums, TooShortForTheFactorHasNoTerms) {
    const std::vector<double> x = series(0, 8);
    EXPECT_EQ(analysis::reflectedSquareSum(x, 3, nullptr).terms, 0);
    EXPECT_EQ(analysis::reflectedSquareSum(x, 0, nullptr).terms, 0);
    EXPECT_EQ(analysis::reflectedSquareSum(std::span(x).first(6), 2, nullptr).terms, 1);
}

} // namespace
