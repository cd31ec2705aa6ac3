// SPDX-License-Identifier: GPL-3.0-or-later
// Every column of the dynamic Allan deviation against the analysis from scratch over that
// window's readings alone.
#include "analysis/dynamic_allan.h"
#include "analysis/stability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using analysis::Quantity;
using analysis::Reading;

struct Case {
    const char* name;
    std::size_t window;
    std::size_t step;
    bool phase;
    std::size_t readings = 3000;
    std::size_t gapEvery = 0;         // an interval of 3 tau0 after every this many readings
    std::size_t unusableEvery = 0;    // a reading without a usable value
    double jitterMs = 0;              // of the stamps, around 1000 ms apart
    std::size_t slowerFrom = 0;       // from here on readings 2000 ms apart: tau0 moves
    std::size_t quietFrom = 0;        // from here on the noise a million times smaller
    std::size_t recordedGapEvery = 0; // a gap the recording knows of, the stamps even
};

std::vector<Reading> makeReadings(const Case& c) {
    std::mt19937_64 random(17);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<Reading> readings;
    double timeMs = 0;
    double walk = 0;
    double phase = 0;
    for (std::size_t i = 0; i < c.readings; ++i) {
        timeMs += (c.slowerFrom > 0 && i >= c.slowerFrom ? 2000.0 : 1000.0) +
                  (c.gapEvery > 0 && i % c.gapEvery == c.gapEvery - 1 ? 2000.0 : 0.0) +
                  c.jitterMs * noise(random);
        const double level = c.quietFrom > 0 && i >= c.quietFrom ? 1e-6 : 1.0;
        walk += 1e-3 * level * noise(random);
        const double offset = level * noise(random) + walk;
        phase += offset * 1e-7;
        const bool unusable = c.unusableEvery > 0 && i % c.unusableEvery == c.unusableEvery - 1;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const bool recordedGap = c.recordedGapEvery > 0 && i > 0 && i % c.recordedGapEvery == 0;
        readings.push_back(
            c.phase
                ? Reading{timeMs, unusable ? nan : phase, Quantity::Phase, recordedGap}
                : Reading{timeMs, unusable ? 0.0 : 1e7 + offset, Quantity::Frequency, recordedGap});
    }
    return readings;
}

TEST(DynamicAllan, EveryColumnEqualsTheAnalysisOfItsWindowFromScratch) {
    const Case cases[] = {
        {"frequency", 200, 10, false},
        {"frequency, gaps and unusable readings", 300, 7, false, 3000, 97, 41},
        {"phase, gaps and unusable readings", 256, 64, true, 3000, 53, 89},
        {"windows apart", 100, 150, false, 2000, 61},
        {"phase, stamps jitter", 128, 5, true, 1500, 0, 0, 3.0},
        {"tau0 moves", 150, 11, false, 1200, 70, 0, 0, 600},
        {"phase, tau0 moves", 150, 13, true, 1200, 0, 0, 0, 500},
        {"noise drops a millionfold", 400, 9, false, 4000, 0, 0, 0, 0, 2000},
        {"phase, noise drops a millionfold", 400, 31, true, 4000, 0, 0, 0, 0, 2000},
        {"smallest window", 2, 1, false, 50},
        {"recorded gaps", 200, 9, false, 2000, 0, 0, 0, 0, 0, 37},
        {"phase, recorded gaps", 200, 9, true, 2000, 0, 0, 0, 0, 0, 43},
    };
    analysis::StabilityOptions options;
    options.kinds = {analysis::Deviation::Allan};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Reading> readings = makeReadings(c);
        analysis::DynamicAllan dynamic(c.window, c.step);
        for (const Reading& reading : readings) {
            dynamic.add(reading.timeMs, reading.value, reading.quantity, reading.gapBefore);
        }
        const auto& columns = dynamic.columns();
        ASSERT_EQ(columns.size(), (readings.size() - c.window) / c.step + 1);
        for (std::size_t j = 0; j < columns.size(); ++j) {
            const auto first = readings.begin() + static_cast<std::ptrdiff_t>(j * c.step);
            const std::vector<Reading> window(first, first + static_cast<std::ptrdiff_t>(c.window));
            SCOPED_TRACE(testing::Message() << "column " << j);
            EXPECT_DOUBLE_EQ(columns[j].timeMs, (window.front().timeMs + window.back().timeMs) / 2);
            const auto expected = analysis::analyzeReadings(window, options).points;
            ASSERT_EQ(columns[j].points.size(), expected.size());
            for (std::size_t p = 0; p < expected.size(); ++p) {
                EXPECT_EQ(columns[j].points[p].tau, expected[p].tau);
                EXPECT_EQ(columns[j].points[p].terms, expected[p].terms);
                EXPECT_NEAR(columns[j].points[p].value, expected[p].value, 1e-9 * expected[p].value)
                    << "tau " << expected[p].tau;
            }
        }
    }
}

} // namespace
