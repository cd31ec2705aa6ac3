// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis against allantools and the published NBS14 values, number for number.
#include "reference_data.h"

#include "analysis/live_stability.h"
#include "analysis/noise_id.h"
#include "analysis/span_statistics.h"
#include "analysis/stability.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using analysis::Deviation;
using analysis_test::number;

struct Series {
    std::string name;
    int alpha;
};

const Series kSeries[] = {{"wpm", 2}, {"fpm", 1}, {"wfm", 0}, {"ffm", -1}, {"rwfm", -2}};

std::string upperName(Deviation kind) {
    EXPECT_EQ(analysis::deviationFromShortName(analysis::shortName(kind)), kind);
    std::string name(analysis::shortName(kind));
    std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    return name;
}

void expectRelative(double actual, double expected, double tolerance, const std::string& what) {
    EXPECT_LE(std::fabs(actual - expected), tolerance * std::fabs(expected))
        << what << ": " << actual << " instead of " << expected;
}

// Every row of the expected file: deviation, terms, interval and its EDF, the alpha behind it.
void expectMatches(const analysis::StabilityResult& result, const std::string& expectedFile) {
    const auto rows = analysis_test::readCsv("expected/" + expectedFile);
    ASSERT_EQ(result.points.size(), rows.size()) << expectedFile;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& row = rows[i];
        const analysis::DeviationPoint& point = result.points[i];
        const std::string what = expectedFile + " " + row.at("kind") + " tau " + row.at("tau");
        EXPECT_EQ(upperName(point.kind), row.at("kind")) << what;
        EXPECT_EQ(point.tau, number(row, "tau")) << what;
        EXPECT_EQ(point.terms, static_cast<std::int64_t>(number(row, "n"))) << what;
        EXPECT_EQ(point.alpha, static_cast<int>(number(row, "alpha"))) << what;
        expectRelative(point.value, number(row, "dev"), 1e-9, what);
        if (row.at("lo").empty()) {
            EXPECT_FALSE(point.hasInterval) << what;
            continue;
        }
        ASSERT_TRUE(point.hasInterval) << what;
        expectRelative(point.edf, number(row, "edf"), 1e-9, what + " edf");
        expectRelative(point.lower, number(row, "lo"), 0.01, what + " lower");
        expectRelative(point.upper, number(row, "hi"), 0.01, what + " upper");
    }
}

analysis::StabilityOptions withAlpha(int alpha) {
    analysis::StabilityOptions options;
    options.forcedAlpha = alpha;
    return options;
}

TEST(StabilityReference, FractionalSeriesMatchAllantools) {
    for (const Series& series : kSeries) {
        const auto y = analysis_test::readNumbers("series/" + series.name + ".txt");
        expectMatches(analysis::analyzeFractional(y, 1.0, withAlpha(series.alpha)),
                      series.name + ".csv");
    }
}

TEST(StabilityReference, ReadingsMatchAllantoolsForGivenAndMeanNominal) {
    for (const Series& series : kSeries) {
        const auto readings = analysis_test::readDat("series/" + series.name + ".dat");
        analysis::StabilityOptions options = withAlpha(series.alpha);
        options.nominalHz = 10e6;
        const auto given = analysis::analyzeReadings(readings, options);
        EXPECT_EQ(given.tau0, 1.0);
        EXPECT_EQ(given.nominalHz, 10e6);
        expectMatches(given, series.name + ".csv");
        options.nominalHz.reset();
        expectMatches(analysis::analyzeReadings(readings, options),
                      series.name + "_mean-nominal.csv");
    }
}

TEST(StabilityReference, DriftRemovedMatchesAllantools) {
    const auto readings = analysis_test::readDat("series/rwfm.dat");
    analysis::StabilityOptions options = withAlpha(-2);
    options.removeDrift = true;
    expectMatches(analysis::analyzeReadings(readings, options),
                  "rwfm_mean-nominal_drift-removed.csv");
    options.nominalHz = 10e6;
    expectMatches(analysis::analyzeReadings(readings, options), "rwfm_drift-removed.csv");
}

// The series integrated to phase, as a time-interval counter reads it: the same deviations from
// N + 1 phase readings, at once and live; the nominal given has no meaning for phase.
TEST(StabilityReference, PhaseReadingsMatchAllantools) {
    for (const Series& series : kSeries) {
        const auto readings = analysis_test::phaseReadings(
            analysis_test::readNumbers("series/" + series.name + ".txt"));
        analysis::StabilityOptions options = withAlpha(series.alpha);
        options.nominalHz = 10e6;
        analysis::LiveStability live;
        for (const analysis::Reading& reading : readings) {
            live.add(reading.timeMs, reading.value, reading.quantity);
        }
        for (const auto& result :
             {analysis::analyzeReadings(readings, options), live.result(options)}) {
            EXPECT_EQ(result.tau0, 1.0);
            EXPECT_EQ(result.nominalHz, 0);
            EXPECT_EQ(result.values, 4096);
            expectMatches(result, series.name + ".csv");
        }
    }
}

TEST(StabilityReference, PhaseDriftRemovedMatchesAllantools) {
    const auto readings =
        analysis_test::phaseReadings(analysis_test::readNumbers("series/rwfm.txt"));
    analysis::StabilityOptions options = withAlpha(-2);
    options.removeDrift = true;
    expectMatches(analysis::analyzeReadings(readings, options), "rwfm_drift-removed.csv");
}

TEST(StabilityReference, SpanStatisticsMatchSummary) {
    for (const auto& row : analysis_test::readCsv("expected/summary.csv")) {
        const auto readings = analysis_test::readDat("series/" + row.at("series") + ".dat");
        const auto statistics = analysis::spanStatistics(readings, number(row, "f0_hz"));
        const std::string what = row.at("series");
        EXPECT_EQ(statistics.count, static_cast<std::int64_t>(number(row, "count"))) << what;
        EXPECT_EQ(statistics.minimumHz, number(row, "min_hz")) << what;
        EXPECT_EQ(statistics.maximumHz, number(row, "max_hz")) << what;
        expectRelative(statistics.meanHz, number(row, "mean_hz"), 1e-9, what + " mean");
        expectRelative(statistics.standardDeviationHz, number(row, "std_hz"), 1e-9, what + " std");
        expectRelative(statistics.driftHzPerSecond, number(row, "drift_hz_per_s"), 1e-9,
                       what + " drift");
        expectRelative(statistics.driftPerSecond, number(row, "drift_per_s"), 1e-9,
                       what + " fractional drift");
        // The same series as phase: the drift of the fractional frequencies derived from it.
        const auto phase = analysis::spanStatistics(analysis_test::phaseReadings(
            analysis_test::readNumbers("series/" + row.at("series") + ".txt")));
        EXPECT_EQ(phase.count, statistics.count + 1) << what;
        expectRelative(phase.driftPerSecond, number(row, "drift_per_s"), 1e-9,
                       what + " phase drift");
    }
}

TEST(StabilityReference, Nbs14MatchesPublishedAndAllantoolsValues) {
    const auto frequencies = analysis_test::readNumbers("nbs14/nbs14_frequency.txt");
    const auto result = analysis::analyzeFractional(frequencies, 1.0, {});
    const auto rows = analysis_test::readCsv("nbs14/nbs14_reference.csv");
    ASSERT_EQ(result.points.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& point = result.points[i];
        const std::string what = rows[i].at("kind") + " tau " + rows[i].at("tau");
        EXPECT_EQ(upperName(point.kind), rows[i].at("kind")) << what;
        EXPECT_EQ(point.tau, number(rows[i], "tau")) << what;
        EXPECT_EQ(point.terms, static_cast<std::int64_t>(number(rows[i], "n"))) << what;
        expectRelative(point.value, number(rows[i], "published"), 1e-6, what);
        expectRelative(point.value, number(rows[i], "allantools"), 1e-9, what);
    }
}

// The identification itself, and the types the analysis picks per point from it: those of the
// table where at least 30 averages exist (kept to the EDF's range), above that the type of the
// largest factor that had them.
TEST(StabilityReference, NoiseIdentificationMatchesAllantools) {
    const auto rows = analysis_test::readCsv("expected/noise-id.csv");
    for (const Series& series : kSeries) {
        const auto y = analysis_test::readNumbers("series/" + series.name + ".txt");
        const auto result = analysis::analyzeFractional(y, 1.0, {});
        for (const analysis::DeviationPoint& point : result.points) {
            if (point.kind != Deviation::Allan && point.kind != Deviation::Hadamard) {
                continue;
            }
            const int maxDifferences = point.kind == Deviation::Hadamard ? 3 : 2;
            const double m = std::min(point.tau, 128.0);
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) {
                return r.at("series") == series.name && number(r, "m") == m &&
                       number(r, "dmax") == maxDifferences;
            });
            ASSERT_NE(row, rows.end());
            EXPECT_EQ(point.alpha,
                      std::max(static_cast<int>(number(*row, "alpha")), 2 - 2 * maxDifferences))
                << series.name << " " << upperName(point.kind) << " tau " << point.tau;
        }
    }
    for (const auto& row : rows) {
        const auto y = analysis_test::readNumbers("series/" + row.at("series") + ".txt");
        const auto estimate = analysis::identifyNoise(
            y, static_cast<std::int64_t>(number(row, "m")), static_cast<int>(number(row, "dmax")));
        const std::string what = row.at("series") + " m " + row.at("m") + " dmax " + row.at("dmax");
        ASSERT_TRUE(estimate) << what;
        EXPECT_EQ(estimate->alpha, static_cast<int>(number(row, "alpha"))) << what;
        EXPECT_EQ(estimate->differences, static_cast<int>(number(row, "d"))) << what;
        EXPECT_NEAR(estimate->rho, number(row, "rho"), 1e-9) << what;
        EXPECT_NEAR(estimate->alphaEstimate, number(row, "alpha_estimate"), 1e-8) << what;
    }
}

} // namespace
