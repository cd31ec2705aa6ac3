// SPDX-License-Identifier: GPL-3.0-or-later
// Runs measured at different frequencies, or as phase, brought onto one axis.
#include "analysis/compared_values.h"
#include "analysis/reading_series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using analysis::Comparison;
using analysis::Quantity;

TEST(ComparedValues, NominalIsTheRoundFrequencyWithin100Ppm) {
    const struct {
        double mean;
        double nominal;
    } cases[] = {
        {25'000'010.0, 25e6}, {24'999'990.0, 25e6},    {10'000'001.2, 10e6}, {10'000'900.0, 10e6},
        {4'999'990.0, 5e6},   {13'560'010.0, 13.56e6}, {1.0000002, 1.0},     {0.10000001, 0.1},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(analysis::nominalOf(c.mean), c.nominal) << c.mean;
    }
}

// Two runs of the same oscillator, one counted as frequency and one as period, at different
// nominal frequencies after a divider: their fractional offsets coincide.
TEST(ComparedValues, FractionalOffsetsOfFrequencyAndPeriodRunsAgree) {
    const std::vector<double> offsets{1e-7, -2e-7, 3e-7, 0.5e-7};
    analysis::ReadingSeries tenMegahertz;
    analysis::ReadingSeries periodOfFive;
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        tenMegahertz.add(1000.0 * i, 10e6 * (1 + offsets[i]), Quantity::Frequency, false);
        periodOfFive.add(1000.0 * i, 1 / (5e6 * (1 + offsets[i])), Quantity::Period, false);
    }
    for (const Comparison comparison :
         {Comparison::OffsetFromNominal, Comparison::OffsetFromMean}) {
        const std::vector<double> a = analysis::comparedValues(tenMegahertz, 4, comparison);
        const std::vector<double> b = analysis::comparedValues(periodOfFive, 4, comparison);
        double mean = 0;
        for (const double offset : offsets) {
            mean += offset / 4;
        }
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            const double expected =
                comparison == Comparison::OffsetFromNominal ? offsets[i] : offsets[i] - mean;
            EXPECT_NEAR(a[i], expected, 1e-13) << i;
            EXPECT_NEAR(b[i], expected, 1e-13) << i;
        }
    }
    EXPECT_EQ(analysis::comparedValues(tenMegahertz, 2, Comparison::AsRead),
              (std::vector<double>{10e6 * (1 + offsets[0]), 10e6 * (1 + offsets[1])}));
}

// A constant frequency offset is a straight phase line: no residual. A linear frequency drift
// leaves the parabola that a line does not fit: its residual is the parabola less its best line.
TEST(ComparedValues, PhaseResidualIsThePhaseLessItsBestLine) {
    constexpr int kCount = 101;
    analysis::ReadingSeries offset;
    analysis::ReadingSeries phase;
    for (int i = 0; i < kCount; ++i) {
        offset.add(1000.0 * i, 10e6 * (1 + 3e-9), Quantity::Frequency, false);
        phase.add(1000.0 * i, 2e-9 + 5e-10 * i + 1e-12 * i * i, Quantity::Phase, false);
    }
    for (const double value : analysis::comparedValues(offset, kCount, Comparison::PhaseResidual)) {
        EXPECT_NEAR(value, 0, 1e-18);
    }
    const std::vector<double> residual =
        analysis::comparedValues(phase, kCount, Comparison::PhaseResidual);
    // i^2 on 0..100 less its best line 100 i - 1650 (the mean of i^2 is 3350, of i 50).
    for (int i = 0; i < kCount; i += 25) {
        EXPECT_NEAR(residual[i], 1e-12 * (i * i - 100.0 * i + 1650), 1e-19) << i;
    }
}

// A phase run's frequency is its first difference over the spacing, never across a gap.
TEST(ComparedValues, PhaseRunFrequencyIsItsDifferencesAndStopsAtGaps) {
    analysis::ReadingSeries phase;
    phase.add(0, 1e-9, Quantity::Phase, false);
    phase.add(2000, 3e-9, Quantity::Phase, false);
    phase.add(9000, 50e-9, Quantity::Phase, true);
    phase.add(10000, 51e-9, Quantity::Phase, false);
    const std::vector<double> rates =
        analysis::comparedValues(phase, 4, Comparison::OffsetFromNominal);
    ASSERT_EQ(rates.size(), 4u);
    EXPECT_TRUE(std::isnan(rates[0]));
    EXPECT_DOUBLE_EQ(rates[1], 1e-9);
    EXPECT_TRUE(std::isnan(rates[2]));
    EXPECT_NEAR(rates[3], 1e-9, 1e-20);
}

} // namespace
