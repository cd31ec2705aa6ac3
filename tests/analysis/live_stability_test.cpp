// SPDX-License-Identifier: GPL-3.0-or-later
// The live analyzer against the analysis at once over the same readings.
#include "reference_data.h"
#include "result_checks.h"

#include "analysis/live_stability.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <set>
#include <vector>

namespace {

using analysis::Quantity;
using analysis::Reading;

std::vector<analysis::StabilityOptions> optionVariants() {
    std::vector<analysis::StabilityOptions> variants(4);
    variants[1].nominalHz = 10e6;
    variants[1].spacing = analysis::TauSpacing::OneTwoFive;
    variants[1].kinds = {analysis::Deviation::Time, analysis::Deviation::Allan};
    variants[2].removeDrift = true;
    variants[3].forcedAlpha = 1;
    variants[3].confidence = 0.95;
    return variants;
}

void expectLiveEqualsAtOnce(const analysis::LiveStability& live,
                            const std::vector<Reading>& readings) {
    for (const auto& options : optionVariants()) {
        SCOPED_TRACE(testing::Message() << readings.size() << " readings");
        analysis_test::expectIdentical(live.result(options),
                                       analysis::analyzeReadings(readings, options));
    }
}

// Each series as frequency readings and integrated to phase readings.
TEST(LiveStability, EqualsTheAnalysisAtOnceAsReadingsArrive) {
    const std::set<std::size_t> lengths{1, 2, 3, 7, 40, 129, 1000, 4096, 4097};
    analysis::LiveStability live;
    for (const std::string name : {"wfm", "rwfm"}) {
        for (const auto& readings : {analysis_test::readDat("series/" + name + ".dat"),
                                     analysis_test::phaseReadings(
                                         analysis_test::readNumbers("series/" + name + ".txt"))}) {
            live.reset(); // each series starts from nothing again
            std::vector<Reading> taken;
            for (const Reading& reading : readings) {
                live.add(reading.timeMs, reading.value, reading.quantity);
                taken.push_back(reading);
                if (lengths.contains(taken.size())) {
                    expectLiveEqualsAtOnce(live, taken);
                }
            }
        }
    }
}

// Jittered time stamps, missing readings, unusable values and period readings (or phase
// readings); after 60 readings the rhythm slows from 1 s to 1.1 s, so the median interval grows
// past 1.6 s / 1.5 and the early 1.6 s interval stops counting as a gap: the live sums must be
// rebuilt, for phase with the steps across that interval, which it no longer splits.
TEST(LiveStability, EqualsTheAnalysisAtOnceThroughGapsAndAChangingRhythm) {
    for (const bool phase : {false, true}) {
        SCOPED_TRACE(phase ? "phase" : "frequency and period");
        std::mt19937 generator(7);
        std::uniform_real_distribution<double> jitter(-3, 3);
        std::normal_distribution<double> noise(0, 0.01);
        analysis::LiveStability live;
        std::vector<Reading> taken;
        double timeMs = 0;
        double x = 0;
        std::int64_t segmentsEarly = 0;
        for (int i = 0; i < 260; ++i) {
            timeMs += (i == 10        ? 1600
                       : i % 37 == 36 ? 3000
                       : i < 60       ? 1000
                                      : 1100) +
                      jitter(generator);
            const double frequency = 5e6 + 0.5 + noise(generator);
            Reading reading{timeMs, frequency, Quantity::Frequency};
            if (phase) {
                x += 1e-9 * noise(generator);
                reading = {timeMs, x, Quantity::Phase};
            }
            if (i % 53 == 52) {
                reading.value = phase ? std::numeric_limits<double>::quiet_NaN() : 0; // not usable
            } else if (i % 5 == 0 && !phase) {
                reading = {timeMs, 1.0 / frequency, Quantity::Period};
            }
            live.add(reading.timeMs, reading.value, reading.quantity);
            taken.push_back(reading);
            expectLiveEqualsAtOnce(live, taken);
            if (taken.size() == 60) {
                segmentsEarly = live.result({}).segments;
            }
        }
        EXPECT_EQ(segmentsEarly, 4); // split at the 1.6 s, the first 3 s interval and reading 52
        EXPECT_EQ(live.result({}).segments, 12); // 7 long intervals and 4 unusable readings later
    }
}

// Gaps the recording knows of, where the time stamps tell none, on a reading whose interval is a
// gap anyway, and before a reading without a finite time stamp; the rhythm slows after 60
// readings, so the sums are rebuilt with the recorded gaps in them.
TEST(LiveStability, EqualsTheAnalysisAtOnceWithRecordedGaps) {
    for (const bool phase : {false, true}) {
        SCOPED_TRACE(phase ? "phase" : "frequency");
        std::mt19937 generator(11);
        std::normal_distribution<double> noise(0, 0.01);
        analysis::LiveStability live;
        std::vector<Reading> taken;
        double timeMs = 0;
        double x = 0;
        for (int i = 0; i < 200; ++i) {
            timeMs += i == 10 ? 1600 : i < 60 ? 1000 : 1100;
            x += 1e-9 * noise(generator);
            Reading reading{timeMs, phase ? x : 5e6 + noise(generator),
                            phase ? Quantity::Phase : Quantity::Frequency, i % 23 == 22 || i == 10};
            if (i == 100) {
                const Reading untimed{std::numeric_limits<double>::quiet_NaN(), reading.value,
                                      reading.quantity, true};
                live.add(untimed.timeMs, untimed.value, untimed.quantity, untimed.gapBefore);
                taken.push_back(untimed);
            }
            live.add(reading.timeMs, reading.value, reading.quantity, reading.gapBefore);
            taken.push_back(reading);
            expectLiveEqualsAtOnce(live, taken);
        }
        // The 1.6 s interval is told twice; the reading without a time stamp passes its gap on.
        EXPECT_EQ(live.result({}).segments, 11);
    }
}

} // namespace
