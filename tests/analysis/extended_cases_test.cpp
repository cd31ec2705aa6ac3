// SPDX-License-Identifier: GPL-3.0-or-later
// The deviations formed from the stored phase beyond the reference tables: gaps, TheoH's two
// parts, the bias-corrected choice, and the control that follows and stops them.
#include "reference_data.h"

#include "analysis/stability.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace {

using analysis::Deviation;

std::vector<double> wfm() {
    return analysis_test::readNumbers("series/wfm.txt");
}

analysis::StabilityOptions only(std::vector<Deviation> kinds) {
    analysis::StabilityOptions options;
    options.kinds = std::move(kinds);
    options.forcedAlpha = 0;
    return options;
}

// A missing value splits the series: every pooled point combines the two halves as if each had
// been analysed alone (variances weighted by their terms, MTIE the larger), so no term spans it.
TEST(ExtendedCases, SegmentsPoolTheirSumsAndNoTermSpansAGap) {
    std::vector<double> y = wfm();
    y.resize(2001);
    const std::vector<double> first(y.begin(), y.begin() + 1000);
    const std::vector<double> second(y.begin() + 1001, y.end());
    y[1000] = std::nan("");
    const std::vector<Deviation> kinds{Deviation::Total,         Deviation::ModifiedTotal,
                                       Deviation::HadamardTotal, Deviation::Theo1,
                                       Deviation::TieRms,        Deviation::Mtie};
    for (Deviation kind : kinds) {
        SCOPED_TRACE(std::string(analysis::shortName(kind)));
        analysis::StabilityOptions options = only({kind});
        options.factors = {2, 16, 100};
        const auto pooled = analysis::analyzeFractional(y, 1.0, options);
        const auto a = analysis::analyzeFractional(first, 1.0, options);
        const auto b = analysis::analyzeFractional(second, 1.0, options);
        ASSERT_EQ(pooled.segments, 2);
        ASSERT_EQ(pooled.points.size(), 3u);
        ASSERT_EQ(a.points.size(), 3u);
        ASSERT_EQ(b.points.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            const auto& p = pooled.points[i];
            EXPECT_EQ(p.terms, a.points[i].terms + b.points[i].terms);
            const double expected = kind == Deviation::Mtie
                                        ? std::max(a.points[i].value, b.points[i].value)
                                        : std::sqrt((a.points[i].value * a.points[i].value *
                                                         static_cast<double>(a.points[i].terms) +
                                                     b.points[i].value * b.points[i].value *
                                                         static_cast<double>(b.points[i].terms)) /
                                                    static_cast<double>(p.terms));
            // MTIE and TIE rms see the phase against the whole run's mean frequency, the halves
            // against their own: their values differ a little by that alone.
            if (kind != Deviation::Mtie && kind != Deviation::TieRms) {
                EXPECT_NEAR(p.value, expected, 1e-12 * expected) << "tau " << p.tau;
            }
        }
    }
}

// TheoH is ADEV below the largest tau up to a tenth of the run and TheoBR from 0.75 m tau0 at that
// tau on, each with its own interval.
TEST(ExtendedCases, TheoHJoinsAllanAndTheoBR) {
    const auto y = wfm();
    const auto hybrid = analysis::analyzeFractional(y, 1.0, only({Deviation::TheoH}));
    const auto allan = analysis::analyzeFractional(y, 1.0, only({Deviation::Allan}));
    const auto bias = analysis::analyzeFractional(y, 1.0, only({Deviation::TheoBR}));
    std::size_t fromAllan = 0;
    std::size_t fromTheo = 0;
    for (const auto& point : hybrid.points) {
        EXPECT_TRUE(point.hasInterval) << point.tau;
        if (point.tau < 256) { // 256 s: the largest octave tau up to 409.5 s
            ASSERT_LT(fromAllan, allan.points.size());
            EXPECT_EQ(point.value, allan.points[fromAllan].value) << point.tau;
            EXPECT_EQ(point.tau, allan.points[fromAllan++].tau);
            continue;
        }
        EXPECT_GE(point.tau, 256);
        const auto same = std::find_if(bias.points.begin(), bias.points.end(),
                                       [&](const auto& p) { return p.tau == point.tau; });
        ASSERT_NE(same, bias.points.end()) << point.tau;
        EXPECT_EQ(point.value, same->value);
        ++fromTheo;
    }
    EXPECT_EQ(fromAllan, 8u);
    EXPECT_EQ(fromTheo, 4u); // 384, 768, 1536, 3072 s
}

// The bias-corrected TOTDEV divides the variance by 1 - a tau / T (a = 0.75 for random walk FM);
// white FM, which has no bias, is left alone.
TEST(ExtendedCases, BiasCorrectedTotalDeviationByNoiseType) {
    const auto y = wfm();
    for (int alpha : {0, -2}) {
        analysis::StabilityOptions plain = only({Deviation::Total});
        plain.forcedAlpha = alpha;
        analysis::StabilityOptions corrected = plain;
        corrected.biasCorrected = true;
        const auto p = analysis::analyzeFractional(y, 1.0, plain).points;
        const auto c = analysis::analyzeFractional(y, 1.0, corrected).points;
        ASSERT_EQ(p.size(), c.size());
        for (std::size_t i = 0; i < p.size(); ++i) {
            const double ratio = alpha == 0 ? 1 : 1 - 0.75 * p[i].tau / 4096;
            EXPECT_NEAR(c[i].value, p[i].value / std::sqrt(ratio), 1e-12 * c[i].value)
                << "alpha " << alpha << " tau " << p[i].tau;
        }
    }
}

// MTOTDEV and TTOTDEV asked for together come from one set of sums, in either order, with gaps:
// the same values as each alone, TTOTDEV MTOTDEV's times tau / sqrt(3), and the progress counts
// the sums once, ending near 1 rather than half way.
TEST(ExtendedCases, TimeTotalSharesTheModifiedTotalSums) {
    std::vector<double> y = wfm();
    y[1000] = std::nan("");
    const auto alone = [&](Deviation kind) {
        return analysis::analyzeFractional(y, 1.0, only({kind})).points;
    };
    const auto modified = alone(Deviation::ModifiedTotal);
    const auto time = alone(Deviation::TimeTotal);
    ASSERT_EQ(modified.size(), time.size());
    ASSERT_FALSE(modified.empty());
    for (const auto& kinds : {std::vector{Deviation::ModifiedTotal, Deviation::TimeTotal},
                              std::vector{Deviation::TimeTotal, Deviation::ModifiedTotal}}) {
        std::vector<double> fractions;
        analysis::AnalysisControl follow;
        follow.progress = [&](double f) { fractions.push_back(f); };
        const auto both = analysis::analyzeFractional(y, 1.0, only(kinds), follow);
        ASSERT_EQ(both.segments, 2);
        ASSERT_EQ(both.points.size(), 2 * modified.size());
        for (std::size_t i = 0; i < modified.size(); ++i) {
            const bool modifiedFirst = kinds[0] == Deviation::ModifiedTotal;
            const auto& m = both.points[modifiedFirst ? i : modified.size() + i];
            const auto& t = both.points[modifiedFirst ? modified.size() + i : i];
            EXPECT_EQ(m.kind, Deviation::ModifiedTotal);
            EXPECT_EQ(t.kind, Deviation::TimeTotal);
            EXPECT_EQ(m.value, modified[i].value) << m.tau;
            EXPECT_EQ(m.upper, modified[i].upper) << m.tau;
            EXPECT_EQ(t.value, time[i].value) << t.tau;
            EXPECT_EQ(t.terms, m.terms) << t.tau;
            EXPECT_DOUBLE_EQ(t.value, m.value * m.tau / std::sqrt(3.0)) << t.tau;
        }
        ASSERT_FALSE(fractions.empty());
        EXPECT_GT(fractions.back(), 0.95);
        EXPECT_LE(fractions.back(), 1.0);
    }
}

// The control: progress rises from the analysing threads, and a cancel stops the analysis early,
// marked as such, without the deviation it stopped in.
TEST(ExtendedCases, ControlReportsProgressAndStops) {
    const auto y = wfm();
    const analysis::StabilityOptions options = only({Deviation::Theo1, Deviation::ModifiedTotal});
    std::vector<double> fractions;
    analysis::AnalysisControl follow;
    follow.progress = [&](double f) { fractions.push_back(f); };
    const auto whole = analysis::analyzeFractional(y, 1.0, options, follow);
    EXPECT_FALSE(whole.cancelled);
    ASSERT_GT(fractions.size(), 10u);
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
    EXPECT_GT(fractions.back(), 0.95);
    EXPECT_LE(fractions.back(), 1.0);

    std::atomic<bool> cancel{false};
    analysis::AnalysisControl stop;
    stop.cancel = &cancel;
    stop.progress = [&](double f) {
        if (f > 0.2) {
            cancel = true;
        }
    };
    const auto stopped = analysis::analyzeFractional(y, 1.0, options, stop);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_LT(stopped.points.size(), whole.points.size());
    for (const auto& point : stopped.points) {
        EXPECT_EQ(point.kind, Deviation::Theo1);
    }
}

} // namespace
