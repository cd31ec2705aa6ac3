// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/oscillator.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace tools {
namespace {

struct Stats {
    double mean;
    double jitter; // standard deviation of the step from one reading to the next
};

Stats sample(std::uint64_t seed, double gate, bool averaging, int count = 400) {
    Oscillator oscillator(seed);
    std::vector<double> values;
    for (int i = 1; i <= count; ++i) {
        values.push_back(oscillator.measure(i * gate, gate, averaging));
    }
    double mean = 0;
    for (const double v : values) {
        mean += v / count;
    }
    double squares = 0;
    for (std::size_t i = 1; i < values.size(); ++i) {
        squares += std::pow(values[i] - values[i - 1], 2);
    }
    return {mean, std::sqrt(squares / (count - 1) / 2)};
}

TEST(Oscillator, SitsCloseToTenMegahertz) {
    for (std::uint64_t seed = 1; seed <= 5; ++seed) {
        const Stats s = sample(seed, 1.0, false);
        EXPECT_NEAR(s.mean, 10e6, 2.0);
        EXPECT_GT(s.jitter, 0.005); // it is noisy, not a constant
    }
}

TEST(Oscillator, ShorterGateIsNoisierAndAveragingCalms) {
    const double longGate = sample(3, 1.0, false).jitter;
    const double shortGate = sample(3, 0.1, false).jitter;
    const double averaged = sample(3, 1.0, true).jitter;
    EXPECT_GT(shortGate / longGate, 5.0);
    EXPECT_LT(shortGate / longGate, 15.0);
    EXPECT_GT(longGate / averaged, 2.0);
}

TEST(Oscillator, SameSeedSameSignal) {
    Oscillator a(11), b(11), c(12);
    bool differs = false;
    for (int i = 1; i <= 10; ++i) {
        const double va = a.measure(i, 1.0, false);
        EXPECT_EQ(va, b.measure(i, 1.0, false));
        differs = differs || va != c.measure(i, 1.0, false);
    }
    EXPECT_TRUE(differs);
}

TEST(Oscillator, DriftsOverMinutes) {
    Oscillator oscillator(5);
    double early = 0;
    double late = 0;
    for (int i = 0; i < 30; ++i) {
        early += oscillator.measure(i, 1.0, true) / 30;
    }
    for (int i = 150; i < 180; ++i) {
        late += oscillator.measure(i, 1.0, true) / 30;
    }
    // A quarter of the temperature swing lies between the two stretches.
    EXPECT_GT(std::fabs(late - early), 0.05);
}

} // namespace
} // namespace tools
