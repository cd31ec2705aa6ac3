// SPDX-License-Identifier: GPL-3.0-or-later
// The total family's sums, MTOTDEV's and HTOTDEV's formed from prefix sums over all stretches at
// once, against the same sums formed as they are defined: stretch by stretch, term by term, in
// long double, or in quadruple precision where the phase runs far above its noise.
#include "reflected_oracle.h"

#include "analysis/reflected_sums.h"
#include "analysis/total_deviation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

enum class Noise { WhitePhase, RandomWalkFrequency, OffsetAndDrift, FarOffset };

// Phase: white; a random walk of the frequency; the latter on a large frequency offset and drift,
// which the sums must not see; white phase a billion times below a frequency offset's line.
std::vector<double> series(Noise noise, std::size_t points) {
    std::mt19937_64 generator(17 + static_cast<int>(noise));
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::vector<double> x(points);
    double walk = 0;
    double phase = 0;
    for (std::size_t k = 0; k < points; ++k) {
        walk += gauss(generator);
        phase += walk;
        const auto t = static_cast<double>(k);
        switch (noise) {
        case Noise::WhitePhase:
            x[k] = gauss(generator);
            break;
        case Noise::RandomWalkFrequency:
            x[k] = phase;
            break;
        case Noise::OffsetAndDrift:
            x[k] = 1e6 + 5.0 * t + 2e-7 * t * t + 1e-3 * phase;
            break;
        case Noise::FarOffset:
            x[k] = 3e-3 * t + 1e-12 * gauss(generator);
            break;
        }
    }
    return x;
}

std::string nameOf(Noise noise) {
    switch (noise) {
    case Noise::WhitePhase:
        return "white phase";
    case Noise::RandomWalkFrequency:
        return "random-walk frequency";
    case Noise::OffsetAndDrift:
        return "offset and drift";
    case Noise::FarOffset:
        return "far offset";
    }
    return "";
}

struct Case {
    Noise noise;
    std::size_t points;
    std::vector<std::int64_t> factors;
};

// From the fewest points that have a term to 1e5; m from 1 (the direct sums) through four blocks
// side by side (up to 157 at 3001 points) and single blocks, odd and even 3m, to the largest each
// allows (TOTDEV's largest, points - 1, is added).
std::vector<Case> cases() {
    std::vector<Case> all;
    for (Noise noise : {Noise::WhitePhase, Noise::RandomWalkFrequency, Noise::OffsetAndDrift}) {
        all.push_back({noise, 4, {1}});
        all.push_back({noise, 6, {1, 2}});
        all.push_back({noise, 7, {1, 2}});
        all.push_back({noise, 3001, {1, 2, 3, 4, 5, 7, 16, 33, 100, 157, 158, 333, 999, 1000}});
        all.push_back({noise, 100000, {1, 2, 5, 6, 33332, 33333}});
    }
    // In quadruple precision, which costs: fewer factors.
    all.push_back({Noise::FarOffset, 3001, {1, 2, 5, 16, 64, 999, 1000}});
    return all;
}

void expectNear(double fast, long double slow, const std::string& what) {
    EXPECT_LE(std::fabs(static_cast<long double>(fast) - slow), 1e-9L * std::fabs(slow))
        << what << ": " << fast << " instead of " << static_cast<double>(slow);
}

std::string describe(const Case& c, std::int64_t m) {
    return nameOf(c.noise) + ", " + std::to_string(c.points) + " points, m " + std::to_string(m);
}

// MTOTDEV's sums on the phase: every stretch of 3m points.
TEST(TotalSums, ModifiedTotalAsDefined) {
    for (const Case& c : cases()) {
        const std::vector<double> x = series(c.noise, c.points);
        const auto points = static_cast<std::int64_t>(c.points);
        for (std::int64_t m : c.factors) {
            if (3 * m > points) {
                continue;
            }
            const analysis::SquareSum fast = analysis::modifiedTotalSum(x, m);
            EXPECT_EQ(fast.terms, points - 3 * m + 1) << describe(c, m);
            expectNear(fast.sum,
                       c.noise == Noise::FarOffset ? analysis_test::reflectedQuadOracle(x, m)
                                                   : analysis_test::reflectedOracle(x, m),
                       describe(c, m));
        }
    }
}

// HTOTDEV's on the frequencies of the phase, which the fast sums never form; at m = 1 the
// overlapping Hadamard sum, the third differences of the phase.
TEST(TotalSums, HadamardTotalAsDefined) {
    for (const Case& c : cases()) {
        const std::vector<double> x = series(c.noise, c.points);
        const auto points = static_cast<std::int64_t>(c.points);
        for (std::int64_t m : c.factors) {
            if (3 * m > points - 1) {
                continue;
            }
            const analysis::SquareSum fast = analysis::hadamardTotalSum(x, m);
            if (m > 1) {
                EXPECT_EQ(fast.terms, points - 3 * m) << describe(c, m);
                expectNear(fast.sum,
                           c.noise == Noise::FarOffset
                               ? analysis_test::reflectedPrefixQuadOracle(x, m)
                               : analysis_test::reflectedPrefixOracle(x, m),
                           describe(c, m));
                continue;
            }
            long double slow = 0;
            for (std::size_t k = 3; k < x.size(); ++k) {
                // Differences of neighbours, exact in long double even for the far offset.
                const long double a = static_cast<long double>(x[k]) - x[k - 1];
                const long double b = static_cast<long double>(x[k - 1]) - x[k - 2];
                const long double d =
                    (a - b) - (b - (static_cast<long double>(x[k - 2]) - x[k - 3]));
                slow += d * d;
            }
            EXPECT_EQ(fast.terms, points - 3) << describe(c, m);
            expectNear(fast.sum, slow, describe(c, m));
        }
    }
}

// TOTDEV's: x reflected oddly at both ends, the squared second differences.
TEST(TotalSums, TotalAsDefined) {
    for (const Case& c : cases()) {
        const std::vector<double> x = series(c.noise, c.points);
        const auto last = static_cast<std::int64_t>(c.points) - 1;
        std::vector<std::int64_t> factors = c.factors;
        factors.push_back(last);
        for (std::int64_t m : factors) {
            if (m > last) {
                continue;
            }
            const analysis::SquareSum fast = analysis::totalSum(x, m);
            EXPECT_EQ(fast.terms, last - 1) << describe(c, m);
            expectNear(fast.sum, analysis_test::totalQuadOracle(x, m), describe(c, m));
        }
    }
}

// The factors of one call, worked on together, give what each gives alone; those too large for
// the series, or below 1, have no terms.
TEST(TotalSums, SeveralFactorsAtOnceAsEachAlone) {
    const std::vector<double> x = series(Noise::RandomWalkFrequency, 3001);
    const std::vector<std::int64_t> factors{1000, 1, 64, 1001, 7, 0, 3000, 3001};
    const auto modified = analysis::modifiedTotalSums(x, factors);
    const auto hadamard = analysis::hadamardTotalSums(x, factors);
    const auto total = analysis::totalSums(x, factors);
    ASSERT_EQ(modified.size(), factors.size());
    ASSERT_EQ(hadamard.size(), factors.size());
    ASSERT_EQ(total.size(), factors.size());
    for (std::size_t f = 0; f < factors.size(); ++f) {
        const std::int64_t m = factors[f];
        const auto alone = analysis::modifiedTotalSum(x, m);
        EXPECT_EQ(modified[f].sum, alone.sum) << m;
        EXPECT_EQ(modified[f].terms, alone.terms) << m;
        EXPECT_EQ(hadamard[f].sum, analysis::hadamardTotalSum(x, m).sum) << m;
        EXPECT_EQ(hadamard[f].terms, analysis::hadamardTotalSum(x, m).terms) << m;
        EXPECT_EQ(total[f].sum, analysis::totalSum(x, m).sum) << m;
    }
    EXPECT_EQ(hadamard[0].terms, 1); // 3m = 3000: as many as there are frequencies
    for (std::size_t f : {3, 5, 6, 7}) {
        EXPECT_EQ(modified[f].terms, 0) << factors[f];
        EXPECT_EQ(hadamard[f].terms, 0) << factors[f];
    }
    EXPECT_EQ(total[6].terms, 2999); // m = points - 1, the largest
    EXPECT_EQ(total[7].terms, 0);
}

TEST(TotalSums, TooShortForTheFactorHasNoTerms) {
    const std::vector<double> x = series(Noise::WhitePhase, 8);
    EXPECT_EQ(analysis::reflectedSquareSum(x, 3, nullptr).terms, 0);
    EXPECT_EQ(analysis::reflectedSquareSum(x, 0, nullptr).terms, 0);
    EXPECT_EQ(analysis::reflectedSquareSum(std::span(x).first(6), 2, nullptr).terms, 1);
    EXPECT_EQ(analysis::reflectedPrefixSquareSum(std::span(x).first(6), 2, nullptr).terms, 0);
    EXPECT_EQ(analysis::reflectedPrefixSquareSum(std::span(x).first(7), 2, nullptr).terms, 1);
    EXPECT_EQ(analysis::hadamardTotalSum(std::span(x).first(3), 1).terms, 0);
    EXPECT_EQ(analysis::totalSum(std::span(x).first(2), 1).terms, 0);
}

} // namespace
