// SPDX-License-Identifier: GPL-3.0-or-later
// The Theo1 and Allan sums formed from the structure function against the same sums formed term
// by term in long double, on phase of several noises with and without a large frequency offset
// and drift; TheoBR over segments from them; and a long TheoBR followed and stopped.
#include "analysis/stability.h"
#include "analysis/theo_deviation.h"
#include "analysis/theo_sums.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <random>
#include <vector>

namespace {

using analysis::Deviation;

long double theo1Oracle(const std::vector<double>& x, std::int64_t m) {
    const auto points = static_cast<std::int64_t>(x.size());
    long double sum = 0;
    for (std::int64_t k = 1; k <= m / 2; ++k) {
        long double part = 0;
        for (std::int64_t i = 0; i + m < points; ++i) {
            const long double d =
                static_cast<long double>(x[i]) - x[i + k] - x[i + m - k] + x[i + m];
            part += d * d;
        }
        sum += part / k;
    }
    return sum;
}

long double allanOracle(const std::vector<double>& x, std::int64_t m) {
    long double sum = 0;
    for (std::size_t i = 0; i + 2 * m < x.size(); ++i) {
        const long double d = static_cast<long double>(x[i]) - 2.0L * x[i + m] + x[i + 2 * m];
        sum += d * d;
    }
    return sum;
}

enum class Noise { WhitePhase, FlickerPhase, RandomWalkFrequency };

// Phase of unit noise; shifted: on 1e6 + 5 j + 2e-4 j^2, which the differences must not see.
std::vector<double> phase(Noise noise, bool shifted, std::size_t points, unsigned seed) {
    std::mt19937_64 generator(seed);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::vector<double> x(points);
    std::vector<double> flicker(12, 0.0);
    double frequency = 0;
    double walk = 0;
    for (std::size_t j = 0; j < points; ++j) {
        double v = 0;
        switch (noise) {
        case Noise::WhitePhase:
            v = normal(generator);
            break;
        case Noise::FlickerPhase: // relaxations from 2 to 4096 points, about 1/f between
            for (std::size_t r = 0; r < flicker.size(); ++r) {
                const double pole = 1 - std::ldexp(1.0, -static_cast<int>(r) - 1);
                flicker[r] = pole * flicker[r] + std::sqrt(1 - pole * pole) * normal(generator);
                v += flicker[r];
            }
            break;
        case Noise::RandomWalkFrequency:
            frequency += normal(generator);
            walk += frequency;
            v = walk;
            break;
        }
        const auto t = static_cast<double>(j);
        x[j] = shifted ? 1e6 + 5 * t + 2e-4 * t * t + 1e-3 * v : v;
    }
    return x;
}

struct Case {
    Noise noise;
    bool shifted;
    std::size_t points;
    std::vector<std::int64_t> theo1;
    std::vector<std::int64_t> allan;
    std::vector<std::size_t> checked; // the Theo1 factors compared (by index); empty: all
};

// TheoBR's run of factors 12 + 4i (swept together) with some alone beyond, or factors alone.
std::vector<std::int64_t> ratioRun(std::size_t points, std::vector<std::int64_t> beyond) {
    std::vector<std::int64_t> factors;
    for (std::int64_t m = 12; m <= static_cast<std::int64_t>(points) / 7; m += 4) {
        factors.push_back(m);
    }
    factors.insert(factors.end(), beyond.begin(), beyond.end());
    return factors;
}

TEST(TheoSums, FromTheStructureFunctionEqualTheSumsTermByTerm) {
    const std::vector<std::int64_t> alone{2, 4, 6, 10, 32, 100, 256, 1000, 1024, 2048, 2998, 3000};
    const std::vector<std::int64_t> allan{1, 3, 50, 700, 1499};
    std::vector<Case> cases;
    for (Noise noise : {Noise::WhitePhase, Noise::FlickerPhase, Noise::RandomWalkFrequency}) {
        for (bool shifted : {false, true}) {
            cases.push_back({noise, shifted, 3001, alone, allan, {}});
        }
    }
    const std::vector<std::int64_t> run = ratioRun(20000, {8190, 16384, 19998});
    const std::vector<std::size_t> checked{0, 1, 2, 300, 711, 712, 713, 714};
    for (Noise noise : {Noise::WhitePhase, Noise::FlickerPhase, Noise::RandomWalkFrequency}) {
        cases.push_back({noise, noise != Noise::FlickerPhase, 20000, run, {9, 4000}, checked});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "noise " << static_cast<int>(c.noise) << " shifted "
                                        << c.shifted << " points " << c.points);
        const std::vector<double> x = phase(c.noise, c.shifted, c.points, 7);
        const analysis::TheoSums sums = analysis::theoSumsFromStructure(x, c.theo1, c.allan);
        std::vector<std::size_t> indices = c.checked;
        if (indices.empty()) {
            for (std::size_t i = 0; i < c.theo1.size(); ++i) {
                indices.push_back(i);
            }
        }
        for (std::size_t i : indices) {
            const std::int64_t m = c.theo1[i];
            const long double expected = theo1Oracle(x, m);
            EXPECT_EQ(sums.theo1[i].terms, static_cast<std::int64_t>(c.points) - m);
            EXPECT_LE(std::fabs(sums.theo1[i].sum - expected), 1e-10 * expected)
                << "Theo1 m " << m << ": " << sums.theo1[i].sum << " instead of " << expected;
        }
        for (std::size_t i = 0; i < c.allan.size(); ++i) {
            const long double expected = allanOracle(x, c.allan[i]);
            EXPECT_LE(std::fabs(sums.allan[i].sum - expected), 1e-10 * expected)
                << "Allan m " << c.allan[i] << ": " << sums.allan[i].sum << " instead of "
                << expected;
        }
    }
}

TEST(TheoSums, FactorsWithoutTermsStayEmpty) {
    const std::vector<double> x = phase(Noise::WhitePhase, false, 10, 3);
    const std::vector<std::int64_t> theo1{0, 3, 10, 12};
    const std::vector<std::int64_t> allan{0, 5};
    const analysis::TheoSums sums = analysis::theoSumsFromStructure(x, theo1, allan);
    for (const analysis::SquareSum& s : sums.theo1) {
        EXPECT_EQ(s.terms, 0);
    }
    for (const analysis::SquareSum& s : sums.allan) {
        EXPECT_EQ(s.terms, 0);
    }
}

// TheoBR of two segments, long enough for the structure function's way, against its definition
// from the direct sums of each segment pooled: the ratio of the Allan to the Theo1 variance
// averaged over i = 0 .. n, Theo1 at m times it.
TEST(TheoSums, TheoBrPoolsSegmentsAsItsDefinition) {
    std::vector<double> y;
    std::mt19937_64 generator(11);
    std::normal_distribution<double> normal(0.0, 1e-9);
    double walk = 0;
    for (int j = 0; j < 11001; ++j) {
        walk += 0.05 * normal(generator);
        y.push_back(walk + normal(generator));
    }
    y[6000] = std::nan("");
    analysis::StabilityOptions options;
    options.kinds = {Deviation::TheoBR};
    options.forcedAlpha = 0;
    const analysis::StabilityResult result = analysis::analyzeFractional(y, 1.0, options);
    ASSERT_EQ(result.segments, 2);
    ASSERT_FALSE(result.points.empty());

    std::vector<std::vector<double>> parts(2, std::vector<double>{0.0});
    for (std::size_t j = 0; j < y.size(); ++j) {
        if (j != 6000) {
            auto& x = parts[j < 6000 ? 0 : 1];
            x.push_back(x.back() + (y[j] - y[0]));
        }
    }
    const auto pooled = [&](auto sum) {
        analysis::SquareSum total;
        for (const auto& x : parts) {
            const analysis::SquareSum s = sum(x);
            total.sum += s.sum;
            total.terms += s.terms;
        }
        return total;
    };
    const auto theoVariance = [&](std::int64_t m) {
        const analysis::SquareSum s =
            pooled([m](const std::vector<double>& x) { return analysis::theo1Sum(x, m); });
        return s.sum / (0.75 * static_cast<double>(m * m) * static_cast<double>(s.terms));
    };
    const std::int64_t count = static_cast<std::int64_t>(std::floor(0.1 * 6001 / 3 - 3)) + 1;
    double ratio = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t m = 9 + 3 * i;
        const analysis::SquareSum a =
            pooled([m](const std::vector<double>& x) { return analysis::allanSum(x, m); });
        ratio += a.sum / (2 * static_cast<double>(m * m) * static_cast<double>(a.terms)) /
                 theoVariance(12 + 4 * i);
    }
    ratio /= static_cast<double>(count);
    for (const analysis::DeviationPoint& point : result.points) {
        const auto m = static_cast<std::int64_t>(std::llround(point.tau / 0.75));
        const double expected = std::sqrt(ratio * theoVariance(m));
        EXPECT_NEAR(point.value, expected, 1e-10 * expected) << "m " << m;
    }
}

// A TheoBR of 100000 readings reports its progress as it goes and stops once cancelled.
TEST(TheoSums, LongTheoBrReportsProgressAndStops) {
    std::vector<double> y(100000);
    std::mt19937_64 generator(5);
    std::normal_distribution<double> normal(0.0, 1e-9);
    for (double& v : y) {
        v = normal(generator);
    }
    analysis::StabilityOptions options;
    options.kinds = {Deviation::TheoBR};
    std::vector<double> fractions;
    analysis::AnalysisControl follow;
    follow.progress = [&](double f) { fractions.push_back(f); };
    const analysis::StabilityResult whole = analysis::analyzeFractional(y, 1.0, options, follow);
    EXPECT_FALSE(whole.cancelled);
    EXPECT_FALSE(whole.points.empty());
    ASSERT_GT(fractions.size(), 100u);
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
    EXPECT_GT(fractions.back(), 0.9);

    std::atomic<bool> cancel{false};
    double last = 0;
    analysis::AnalysisControl stop;
    stop.cancel = &cancel;
    stop.progress = [&](double f) {
        last = f;
        if (f > 0.2) {
            cancel = true;
        }
    };
    const analysis::StabilityResult stopped = analysis::analyzeFractional(y, 1.0, options, stop);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_TRUE(stopped.points.empty());
    EXPECT_LT(last, 0.5);
}

} // namespace
