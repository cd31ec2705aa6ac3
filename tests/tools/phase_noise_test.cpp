// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/phase_noise.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace tools {
namespace {

constexpr double kWhitePhaseS = 60e-12;
constexpr double kFrequencyStep = 1e-12;

std::vector<double> phases(std::uint64_t seed, int count) {
    PhaseNoise noise(seed);
    std::vector<double> x(static_cast<std::size_t>(count));
    for (double& phase : x) {
        phase = noise.next();
    }
    return x;
}

// The root mean square of the change in mean frequency from one span of `m` events to the next.
double frequencyChange(const std::vector<double>& x, std::size_t m) {
    double squares = 0;
    std::size_t n = 0;
    for (std::size_t k = 0; k + 2 * m < x.size(); k += m) {
        const double change = (x[k + 2 * m] - 2 * x[k + m] + x[k]) / static_cast<double>(m);
        squares += change * change;
        ++n;
    }
    return std::sqrt(squares / static_cast<double>(n));
}

TEST(PhaseNoise, StartsFromAnOffsetAndASmallFrequencyThatTheSeedFixes) {
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        const std::vector<double> x = phases(seed, 100);
        EXPECT_EQ(x, phases(seed, 100));
        EXPECT_NE(x.front(), phases(seed + 100, 1).front());
        EXPECT_GT(x.front(), 50e-9 - 1e-9) << seed;
        EXPECT_LT(x.front(), 500e-9 + 1e-9) << seed;
        EXPECT_LT(std::fabs(x.back() - x.front()) / 99, 1.3e-10) << seed;
    }
}

TEST(PhaseNoise, ShortSpansShowTheWhitePhaseNoise) {
    // Within a hundred events the walking frequency hardly moves: the spread of the phase steps
    // around their block's mean is the white noise of two phases.
    const std::vector<double> x = phases(1, 100001);
    constexpr std::size_t kBlock = 100;
    double squares = 0;
    std::size_t n = 0;
    for (std::size_t start = 0; start + kBlock < x.size(); start += kBlock) {
        const double mean = (x[start + kBlock] - x[start]) / kBlock;
        for (std::size_t i = start; i < start + kBlock; ++i) {
            squares += std::pow(x[i + 1] - x[i] - mean, 2);
            ++n;
        }
    }
    const double expected = kWhitePhaseS * std::sqrt(2.0);
    EXPECT_NEAR(std::sqrt(squares / static_cast<double>(n)), expected, 0.05 * expected);
}

TEST(PhaseNoise, FrequencyWandersLikeARandomWalkOverLongRuns) {
    // A random-walk frequency changes from span to span by about step * sqrt(2m/3), growing with
    // the span; white phase noise alone would shrink like 1/m, white frequency like 1/sqrt(m).
    const std::vector<double> x = phases(2, 1000001);
    const double shortSpan = frequencyChange(x, 100);
    const double longSpan = frequencyChange(x, 1000);
    EXPECT_NEAR(longSpan / shortSpan, std::sqrt(10.0), 0.6);
    const double expected = kFrequencyStep * std::sqrt(2.0 * 1000 / 3);
    EXPECT_NEAR(longSpan, expected, 0.2 * expected);
    const auto [low, high] = std::minmax_element(x.begin(), x.end());
    EXPECT_LT(std::max(-*low, *high), 0.01); // far from the half second after a million events
}

} // namespace
} // namespace tools
