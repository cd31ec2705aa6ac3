// SPDX-License-Identifier: GPL-3.0-or-later
// The live analyzer against the analysis at once over the same readings.
#include "reference_data.h"
#include "result_checks.h"

#include "analysis/live_stability.h"
#include "analysis/reading_series.h"
#include "analysis/span_statistics.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <random>
#include <set>
#include <span>
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

// A run of readings with all the analysis must follow: jitter, a slower rhythm after a while (the
// sums are formed anew), readings without a value, period readings among frequencies, recorded
// gaps, and readings without a time stamp, which the walks behind the newest must step over.
std::vector<Reading> eventfulRun(bool phase, int count) {
    std::mt19937 generator(5);
    std::uniform_real_distribution<double> jitter(-3, 3);
    std::normal_distribution<double> noise(0, 0.01);
    std::vector<Reading> readings;
    double timeMs = 0;
    double x = 0;
    for (int i = 0; i < count; ++i) {
        timeMs += (i % 2999 == 2998 ? 5000 : i < count / 2 ? 1000 : 1100) + jitter(generator);
        x += 1e-9 * noise(generator);
        Reading reading{timeMs, phase ? x : 5e6 + noise(generator),
                        phase ? Quantity::Phase : Quantity::Frequency, i % 4001 == 4000};
        if (i % 1531 == 1530) {
            reading.value = phase ? std::numeric_limits<double>::quiet_NaN() : 0;
        } else if (!phase && i % 7 == 0) {
            reading = {timeMs, 1.0 / reading.value, Quantity::Period, reading.gapBefore};
        }
        if (i % 2503 == 2502) {
            readings.push_back({std::numeric_limits<double>::quiet_NaN(), reading.value,
                                reading.quantity, i % 5006 == 5005});
        }
        readings.push_back(reading);
    }
    return readings;
}

// Readings kept elsewhere, taken in pieces of every size (many at once and one by one), give
// what the analysis of the same readings at once gives; so does a copy, later, on the source
// grown meanwhile.
TEST(LiveStability, FollowsASourceThatGrowsInPiecesOfAnySize) {
    for (const bool phase : {false, true}) {
        SCOPED_TRACE(phase ? "phase" : "frequency and period");
        const std::vector<Reading> readings = eventfulRun(phase, 16000);
        analysis::ReadingSeries source;
        analysis::LiveStability live;
        std::optional<analysis::LiveStability> copy;
        analysis::StabilityResult copied;
        std::size_t taken = 0;
        for (const std::size_t piece : {1u, 2u, 5000u, 1u, 1u, 300u, 6000u, 1u, 9000u}) {
            for (const std::size_t end = std::min(readings.size(), taken + piece); taken < end;
                 ++taken) {
                const Reading& r = readings[taken];
                source.add(r.timeMs, r.value, r.quantity, r.gapBefore);
            }
            live.follow(source);
            ASSERT_EQ(live.taken(), taken);
            SCOPED_TRACE(testing::Message() << taken << " readings");
            const std::span<const Reading> held = std::span(readings).first(taken);
            for (const auto& options : optionVariants()) {
                analysis_test::expectIdentical(live.result(source, options),
                                               analysis::analyzeReadings(held, options));
            }
            if (!copy && taken > 5000) {
                copy = live;
                copied = analysis::analyzeReadings(held, {});
            }
        }
        analysis_test::expectIdentical(copy->result(source, {}), copied);
    }
}

// A span of a source's readings reads as the same readings in a span, recorded gaps and readings
// without a time stamp included, and a gap recorded before its first reading splits nothing.
TEST(LiveStability, ARangeOfASourceIsAnalysedAsTheSameReadings) {
    for (const bool phase : {false, true}) {
        SCOPED_TRACE(phase ? "phase" : "frequency and period");
        const std::vector<Reading> readings = eventfulRun(phase, 9000);
        analysis::ReadingSeries source;
        for (const Reading& r : readings) {
            source.add(r.timeMs, r.value, r.quantity, r.gapBefore);
        }
        for (const auto& [first, last] : {std::pair<std::size_t, std::size_t>{0, readings.size()},
                                          {4001, 7000},
                                          {2503, 2600},
                                          {17, 18},
                                          {50, 50}}) {
            SCOPED_TRACE(testing::Message() << first << " to " << last);
            const std::span<const Reading> span = std::span(readings).subspan(first, last - first);
            analysis_test::expectIdentical(analysis::analyzeReadings(source, first, last, {}),
                                           analysis::analyzeReadings(span, {}));
            const analysis::SpanStatistics a = analysis::spanStatistics(source, first, last, 5e6);
            const analysis::SpanStatistics b = analysis::spanStatistics(span, 5e6);
            EXPECT_EQ(a.count, b.count);
            for (const auto field :
                 {&analysis::SpanStatistics::meanHz, &analysis::SpanStatistics::standardDeviationHz,
                  &analysis::SpanStatistics::driftPerSecond, &analysis::SpanStatistics::meanSeconds,
                  &analysis::SpanStatistics::standardDeviationSeconds,
                  &analysis::SpanStatistics::frequencyOffset}) {
                EXPECT_EQ(a.*field, b.*field);
            }
        }
    }
}

} // namespace
