// SPDX-License-Identifier: GPL-3.0-or-later
// Gaps, degenerate input, periods, phase, spacing, confidence levels and the chi-squared
// quantile.
#include "reference_data.h"
#include "result_checks.h"

#include "analysis/chi_squared.h"
#include "analysis/noise_id.h"
#include "analysis/span_statistics.h"
#include "analysis/stability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using analysis::Quantity;
using analysis::Reading;
using analysis::StabilityOptions;

std::vector<Reading> firstReadings(const char* name, std::size_t count) {
    auto readings = analysis_test::readDat(std::string("series/") + name + ".dat");
    readings.resize(count);
    return readings;
}

StabilityOptions nominal10MHz() {
    StabilityOptions options;
    options.nominalHz = 10e6;
    options.forcedAlpha = 0;
    return options;
}

// Two pieces with 7 readings missing between them and a 0.5 Hz step: a term across the gap
// would see the step. The whole must pool the pieces' terms: n = nA + nB and
// dev^2 = (devA^2 nA + devB^2 nB) / n, for every kind and tau both pieces have.
TEST(StabilityGaps, NoTermSpansAGap) {
    const auto a = firstReadings("wfm", 1500);
    auto b = firstReadings("fpm", 1200);
    for (Reading& reading : b) {
        reading.timeMs += (1500 + 7) * 1000.0;
        reading.value += 0.5;
    }
    std::vector<Reading> whole = a;
    whole.insert(whole.end(), b.begin(), b.end());
    const auto resultA = analysis::analyzeReadings(a, nominal10MHz());
    const auto resultB = analysis::analyzeReadings(b, nominal10MHz());
    const auto result = analysis::analyzeReadings(whole, nominal10MHz());
    EXPECT_EQ(result.segments, 2);
    std::size_t compared = 0;
    for (const auto& point : result.points) {
        for (const auto& pa : resultA.points) {
            for (const auto& pb : resultB.points) {
                if (pa.kind != point.kind || pb.kind != point.kind || pa.tau != point.tau ||
                    pb.tau != point.tau) {
                    continue;
                }
                ++compared;
                const auto n = static_cast<double>(pa.terms + pb.terms);
                EXPECT_EQ(point.terms, pa.terms + pb.terms);
                const double pooled = std::sqrt(
                    (pa.value * pa.value * pa.terms + pb.value * pb.value * pb.terms) / n);
                EXPECT_NEAR(point.value, pooled, 1e-12 * pooled)
                    << analysis::shortName(point.kind) << " tau " << point.tau;
            }
        }
    }
    EXPECT_EQ(compared, 4u * 9u); // taus 1 .. 256 s of all four kinds
}

// A gap the recording knows of splits the series where the time stamps run on evenly: every kind,
// for frequency and phase readings, gives exactly what the same pieces give with 7 readings
// missing between them (whose pooling NoTermSpansAGap checks), and not what the joined series
// gives. A recorded gap before a reading without a finite time stamp passes to the next one.
TEST(StabilityGaps, ARecordedGapSplitsWhereTheTimeStampsRunOn) {
    StabilityOptions every = nominal10MHz();
    every.kinds = {analysis::Deviation::Allan,         analysis::Deviation::ModifiedAllan,
                   analysis::Deviation::Hadamard,      analysis::Deviation::Time,
                   analysis::Deviation::Total,         analysis::Deviation::ModifiedTotal,
                   analysis::Deviation::HadamardTotal, analysis::Deviation::Theo1,
                   analysis::Deviation::Mtie,          analysis::Deviation::TieRms};
    for (const bool phase : {false, true}) {
        SCOPED_TRACE(phase ? "phase" : "frequency");
        std::vector<Reading> recorded = firstReadings("wfm", 400);
        std::vector<Reading> missing = recorded;
        for (Reading reading : firstReadings("fpm", 300)) {
            reading.value += 0.5;
            reading.timeMs += 400 * 1000.0;
            recorded.push_back(reading);
            reading.timeMs += 7 * 1000.0;
            missing.push_back(reading);
        }
        if (phase) {
            for (auto* series : {&recorded, &missing}) {
                double x = 0;
                for (Reading& reading : *series) {
                    x += (reading.value - 10e6) / 10e6;
                    reading = {reading.timeMs, x, Quantity::Phase};
                }
            }
        }
        const auto joined = analysis::analyzeReadings(recorded, every);
        EXPECT_EQ(joined.segments, 1);
        recorded[400].gapBefore = true;
        const auto expected = analysis::analyzeReadings(missing, every);
        EXPECT_EQ(expected.segments, 2);
        analysis_test::expectIdentical(analysis::analyzeReadings(recorded, every), expected);
        EXPECT_NE(joined.points.front().value, expected.points.front().value);

        recorded[400].gapBefore = false;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        recorded.insert(recorded.begin() + 400, Reading{nan, 10e6, recorded[0].quantity, true});
        analysis_test::expectIdentical(analysis::analyzeReadings(recorded, every), expected);
    }
}

// Phase readings of two pieces with 7 readings missing between them give the points of the
// frequencies derived within each piece, the first reading of each piece yielding none; the
// phase jumps by 1 ms across the gap, which any term or frequency spanning it would see.
TEST(StabilityGaps, PhaseGapGivesThePointsOfTheFrequenciesOfEachSide) {
    auto frequencies = firstReadings("wfm", 1500);
    for (Reading reading : firstReadings("fpm", 1200)) {
        reading.timeMs += (1500 + 7) * 1000.0;
        frequencies.push_back(reading);
    }
    const double reference = frequencies.front().value;
    std::vector<Reading> phase;
    double x = 0;
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        Reading& reading = frequencies[i];
        if (i == 0 || i == 1500) {
            x += i == 0 ? 0 : 1e-3;
            reading.value = 0; // the frequency before the first phase is unknown
        } else {
            x += (reading.value - reference) / 10e6; // tau0 = 1 s
        }
        phase.push_back({reading.timeMs, x, Quantity::Phase});
    }
    StabilityOptions identified;
    identified.nominalHz = 10e6;
    const auto expected = analysis::analyzeReadings(frequencies, identified);
    const auto result = analysis::analyzeReadings(phase, identified);
    EXPECT_EQ(result.segments, 2);
    EXPECT_EQ(result.values, expected.values);
    ASSERT_EQ(result.points.size(), expected.points.size());
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const auto& point = result.points[i];
        const auto& e = expected.points[i];
        SCOPED_TRACE(testing::Message() << analysis::shortName(e.kind) << " tau " << e.tau);
        EXPECT_EQ(point.kind, e.kind);
        EXPECT_EQ(point.tau, e.tau);
        EXPECT_EQ(point.terms, e.terms);
        EXPECT_EQ(point.alpha, e.alpha);
        EXPECT_NEAR(point.value, e.value, 1e-10 * e.value);
        EXPECT_NEAR(point.edf, e.edf, 1e-12 * e.edf);
    }
}

// A reading without a usable value keeps its place but splits the series, exactly like a
// reading that is missing; a reading without a finite time stamp is not there at all.
TEST(StabilityGaps, UnusableReadingSplitsTheSeriesLikeAMissingOne) {
    const auto readings = firstReadings("wfm", 600);
    auto missing = readings;
    missing.erase(missing.begin() + 300);
    const auto expected = analysis::analyzeReadings(missing, nominal10MHz());
    EXPECT_EQ(expected.segments, 2);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const Reading bad :
         {Reading{0, 0, Quantity::Frequency}, Reading{0, 0, Quantity::Period},
          Reading{0, nan, Quantity::Frequency}, Reading{0, -5, Quantity::Frequency},
          Reading{0, inf, Quantity::Frequency}, Reading{0, -1, Quantity::Period}}) {
        auto withBad = readings;
        withBad[300].value = bad.value;
        withBad[300].quantity = bad.quantity;
        SCOPED_TRACE(testing::Message()
                     << "value " << bad.value << " quantity " << static_cast<int>(bad.quantity));
        analysis_test::expectIdentical(analysis::analyzeReadings(withBad, nominal10MHz()),
                                       expected);
    }
    auto withoutTime = missing;
    withoutTime.insert(withoutTime.begin() + 100, Reading{nan, 10e6, Quantity::Frequency});
    analysis_test::expectIdentical(analysis::analyzeReadings(withoutTime, nominal10MHz()),
                                   expected);
}

// The same for phase: a phase that is not finite, or a reading of the other kind in a series,
// ends the segment like a missing reading, whichever kind the first reading made the series.
TEST(StabilityGaps, PhaseWithoutValueOrAReadingOfTheOtherKindSplitsLikeAMissingOne) {
    const auto y = analysis_test::readNumbers("series/wfm.txt");
    const auto phase = analysis_test::phaseReadings({y.begin(), y.begin() + 600});
    const auto frequencies = firstReadings("wfm", 600);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const std::vector<Reading>& readings;
        Reading bad;
    };
    const Case cases[] = {
        {phase, {0, nan, Quantity::Phase}},   {phase, {0, inf, Quantity::Phase}},
        {phase, {0, -inf, Quantity::Phase}},  {phase, {0, 10e6, Quantity::Frequency}},
        {phase, {0, 1e-7, Quantity::Period}}, {frequencies, {0, 10e6, Quantity::Phase}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "value " << c.bad.value << " quantity " << static_cast<int>(c.bad.quantity)
                     << " in a series of " << static_cast<int>(c.readings.front().quantity));
        auto missing = c.readings;
        missing.erase(missing.begin() + 300);
        const auto expected = analysis::analyzeReadings(missing, nominal10MHz());
        EXPECT_EQ(expected.segments, 2);
        auto withBad = c.readings;
        withBad[300].value = c.bad.value;
        withBad[300].quantity = c.bad.quantity;
        analysis_test::expectIdentical(analysis::analyzeReadings(withBad, nominal10MHz()),
                                       expected);
    }
}

struct Degenerate {
    const char* name;
    std::vector<Reading> readings;
    std::size_t points;
};

TEST(StabilityCases, DegenerateInputGivesDefinedResults) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<Reading> constant;
    for (int i = 0; i < 50; ++i) {
        constant.push_back({1000.0 * i, 10e6 + 0.25, Quantity::Frequency});
    }
    const Degenerate cases[] = {
        {"no readings", {}, 0},
        {"one reading", {{0, 10e6, Quantity::Frequency}}, 0},
        {"two readings: ADEV, MDEV, TDEV of one term",
         {{0, 10e6, Quantity::Frequency}, {1000, 10e6 + 1, Quantity::Frequency}},
         3},
        {"one time stamp",
         {{5, 10e6, Quantity::Frequency},
          {5, 10e6 + 1, Quantity::Frequency},
          {5, 10e6, Quantity::Frequency}},
         0},
        {"nothing usable",
         {{0, 0, Quantity::Frequency}, {1000, 0, Quantity::Period}, {2000, 0, Quantity::Frequency}},
         0},
        {"constant frequency, taus 1 .. 8 s", constant, 16},
        {"two phase readings: one frequency, no term",
         {{0, 1e-9, Quantity::Phase}, {1000, 2e-9, Quantity::Phase}},
         0},
        {"three phase readings: ADEV, MDEV, TDEV of one term",
         {{0, 0, Quantity::Phase}, {1000, 1e-9, Quantity::Phase}, {2000, 0, Quantity::Phase}},
         3},
        {"no phase usable", {{0, nan, Quantity::Phase}, {1000, 5e-9, Quantity::Frequency}}, 0},
    };
    for (const Degenerate& c : cases) {
        SCOPED_TRACE(c.name);
        for (const StabilityOptions& options : {StabilityOptions{}, nominal10MHz()}) {
            const auto result = analysis::analyzeReadings(c.readings, options);
            analysis_test::expectFinite(result);
            EXPECT_EQ(result.points.size(), c.points);
        }
    }
    const auto two = analysis::analyzeReadings(cases[2].readings, nominal10MHz());
    EXPECT_DOUBLE_EQ(two.points.front().value, 1e-7 / std::sqrt(2.0));
    // (x2 - 2 x1 + x0)^2 / (2 tau^2) with no nominal involved.
    const auto threePhases = analysis::analyzeReadings(cases[7].readings, nominal10MHz());
    EXPECT_EQ(threePhases.nominalHz, 0);
    EXPECT_DOUBLE_EQ(threePhases.points.front().value, std::sqrt(2.0) * 1e-9);
    for (const auto& point : analysis::analyzeReadings(constant, {}).points) {
        EXPECT_EQ(point.value, 0);
        EXPECT_EQ(point.upper, 0);
    }
}

TEST(StabilityCases, PeriodReadingsAreTheirReciprocalFrequencies) {
    auto frequencies = firstReadings("ffm", 800);
    auto periods = frequencies;
    for (std::size_t i = 0; i < periods.size(); ++i) {
        periods[i] = {frequencies[i].timeMs, 1.0 / frequencies[i].value, Quantity::Period};
        frequencies[i].value = 1.0 / periods[i].value;
    }
    const auto result = analysis::analyzeReadings(periods, {});
    EXPECT_EQ(result.points.size(), 4u * 8u);
    analysis_test::expectIdentical(result, analysis::analyzeReadings(frequencies, {}));
}

// tau0 from the time stamps sets the taus and the TDEV scale only; m runs up to N / 4.
TEST(StabilityCases, TausFollowTheSpacingAndTau0) {
    const auto readings = firstReadings("wfm", 1000);
    auto faster = readings;
    for (Reading& reading : faster) {
        reading.timeMs /= 4; // tau0 = 0.25 s
    }
    StabilityOptions options = nominal10MHz();
    options.spacing = analysis::TauSpacing::OneTwoFive;
    const auto slow = analysis::analyzeReadings(readings, options);
    const auto fast = analysis::analyzeReadings(faster, options);
    EXPECT_EQ(fast.tau0, 0.25);
    const std::vector<double> factors{1, 2, 5, 10, 20, 50, 100, 200};
    ASSERT_EQ(fast.points.size(), 4 * factors.size());
    for (std::size_t i = 0; i < fast.points.size(); ++i) {
        const auto& point = fast.points[i];
        EXPECT_EQ(point.tau, 0.25 * factors[i % factors.size()]);
        const double scale = point.kind == analysis::Deviation::Time ? 0.25 : 1.0;
        EXPECT_DOUBLE_EQ(point.value, scale * slow.points[i].value);
        if (point.kind == analysis::Deviation::Time) {
            EXPECT_DOUBLE_EQ(point.value, point.tau * fast.points[i - 2 * factors.size()].value /
                                              std::sqrt(3.0));
        }
    }
}

// The same phases read four times as often are four times the frequency deviations; TDEV, in
// seconds of phase, stays.
TEST(StabilityCases, PhaseDeviationsScaleWithOneOverTau0) {
    auto y = analysis_test::readNumbers("series/wfm.txt");
    y.resize(1000);
    const auto readings = analysis_test::phaseReadings(y);
    auto faster = readings;
    for (Reading& reading : faster) {
        reading.timeMs /= 4;
    }
    const auto slow = analysis::analyzeReadings(readings, {});
    const auto fast = analysis::analyzeReadings(faster, {});
    EXPECT_EQ(fast.tau0, 0.25);
    ASSERT_EQ(fast.points.size(), 4u * 8u);
    ASSERT_EQ(slow.points.size(), fast.points.size());
    for (std::size_t i = 0; i < fast.points.size(); ++i) {
        const auto& point = fast.points[i];
        EXPECT_EQ(point.tau, 0.25 * slow.points[i].tau);
        const double scale = point.kind == analysis::Deviation::Time ? 1.0 : 4.0;
        EXPECT_DOUBLE_EQ(point.value, scale * slow.points[i].value)
            << analysis::shortName(point.kind) << " tau " << point.tau;
    }
}

// Phase x = a + b t + d t^2 / 2 at t = h, 2 h .. n h: its frequency y = b + d (t - h / 2) drifts
// by d per s; the line through (t, x) rises by b + d h (n + 1) / 2, x^2's slope being 2 mean(t).
// A frequency reading in between is of the other kind, and the nominal given does not apply.
TEST(SpanStatistics, PhaseReadingsGiveThePhaseItsFrequencyOffsetAndDrift) {
    constexpr int n = 101;
    const double h = 0.5;
    const double a = -2e-6;
    const double b = 3e-8;
    for (const double d : {0.0, 1e-10}) {
        SCOPED_TRACE(testing::Message() << "drift " << d);
        const auto phaseAt = [&](double k) { return a + b * h * k + d * h * h * k * k / 2; };
        std::vector<Reading> readings;
        for (int k = 1; k <= n; ++k) {
            readings.push_back({1000 * h * k, phaseAt(k), Quantity::Phase});
        }
        readings.insert(readings.begin() + 50, Reading{1000 * h * 50.5, 10e6, Quantity::Frequency});
        const auto statistics = analysis::spanStatistics(readings, 10e6);
        EXPECT_TRUE(statistics.phase);
        EXPECT_EQ(statistics.count, n);
        EXPECT_EQ(statistics.minimumSeconds, phaseAt(1));
        EXPECT_EQ(statistics.maximumSeconds, phaseAt(n));
        const double meanSquare = h * h * (n + 1) * (2 * n + 1) / 6;
        EXPECT_NEAR(statistics.meanSeconds, a + b * h * (n + 1) / 2 + d * meanSquare / 2, 1e-18);
        EXPECT_NEAR(statistics.frequencyOffset, b + d * h * (n + 1) / 2, 1e-12 * b);
        EXPECT_NEAR(statistics.driftPerSecond, d, 1e-6 * 1e-10);
        if (d == 0) { // sample variance of 1 .. n: n (n + 1) / 12
            EXPECT_NEAR(statistics.standardDeviationSeconds, b * h * std::sqrt(n * (n + 1) / 12.0),
                        1e-12 * b * n);
        }
        for (double hz :
             {statistics.nominalHz, statistics.meanHz, statistics.standardDeviationHz,
              statistics.minimumHz, statistics.maximumHz, statistics.driftHzPerSecond}) {
            EXPECT_EQ(hz, 0);
        }
    }
}

// Too few averages to identify the noise: the type of the largest factor that had enough, and
// white frequency noise where none had.
TEST(StabilityCases, NoiseTypeCarriesOverWhereTooFewAveragesExist) {
    auto y = analysis_test::readNumbers("series/wpm.txt");
    y.resize(40);
    const auto atOne = analysis::identifyNoise(y, 1, 2);
    ASSERT_TRUE(atOne);
    ASSERT_NE(atOne->alpha, 0);
    const auto result = analysis::analyzeReadings(firstReadings("wpm", 40), {});
    EXPECT_EQ(result.points.size(), 4u * 4u); // taus 1 .. 8 s, 40 .. 5 averages
    for (const auto& point : result.points) {
        EXPECT_EQ(point.alpha, atOne->alpha)
            << analysis::shortName(point.kind) << " tau " << point.tau;
    }
    for (const auto& point : analysis::analyzeReadings(firstReadings("wpm", 29), {}).points) {
        EXPECT_EQ(point.alpha, 0);
    }
}

TEST(StabilityCases, ConfidenceLevelSetsTheIntervalWidth) {
    const auto readings = firstReadings("wfm", 500);
    const auto oneSigma = analysis::analyzeReadings(readings, nominal10MHz());
    StabilityOptions options = nominal10MHz();
    options.confidence = 0.95;
    const auto wide = analysis::analyzeReadings(readings, options);
    for (std::size_t i = 0; i < wide.points.size(); ++i) {
        EXPECT_LT(wide.points[i].lower, oneSigma.points[i].lower);
        EXPECT_GT(wide.points[i].upper, oneSigma.points[i].upper);
    }
    for (double level : {0.0, 1.0, std::numeric_limits<double>::quiet_NaN()}) {
        options.confidence = level;
        for (const auto& point : analysis::analyzeReadings(readings, options).points) {
            EXPECT_FALSE(point.hasInterval);
            EXPECT_EQ(point.lower, point.value);
            EXPECT_EQ(point.upper, point.value);
        }
    }
}

// Closed forms: P(1/2, x) = erf(sqrt(x)) (one degree of freedom), P(1, x) = 1 - exp(-x) (two);
// elsewhere the quantile must give back p (to the 1e-9 that P itself has at a million degrees
// of freedom, where its logarithms are near 1e7).
TEST(ChiSquared, QuantileInvertsTheDistribution) {
    for (double p : {1e-6, 0.1585, 0.5, 0.8415, 0.999999}) {
        const double one = analysis::chiSquaredQuantile(p, 1);
        EXPECT_NEAR(std::erf(std::sqrt(one / 2)), p, 1e-12 * std::max(p, 1e-3)) << p;
        EXPECT_NEAR(analysis::chiSquaredQuantile(p, 2), -2 * std::log1p(-p),
                    1e-10 * -2 * std::log1p(-p))
            << p;
        for (double dof : {0.05, 0.7, 3.3, 2106.26, 1e6}) {
            const double q = analysis::chiSquaredQuantile(p, dof);
            EXPECT_NEAR(analysis::regularizedLowerGamma(dof / 2, q / 2), p,
                        1e-8 * std::max(p, 1e-3))
                << "p " << p << " dof " << dof;
        }
    }
    EXPECT_EQ(analysis::chiSquaredQuantile(0, 3), 0);
    EXPECT_EQ(analysis::chiSquaredQuantile(0.5, 0), 0);
}

} // namespace
