// SPDX-License-Identifier: GPL-3.0-or-later
#include "result_checks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace analysis_test {

void expectFinite(const analysis::StabilityResult& result) {
    EXPECT_TRUE(std::isfinite(result.tau0) && std::isfinite(result.nominalHz));
    for (const auto& point : result.points) {
        EXPECT_TRUE(std::isfinite(point.tau) && std::isfinite(point.value) &&
                    std::isfinite(point.lower) && std::isfinite(point.upper) &&
                    std::isfinite(point.edf))
            << analysis::shortName(point.kind) << " tau " << point.tau;
        EXPECT_GE(point.terms, 1);
        EXPECT_LE(point.lower, point.value);
        EXPECT_GE(point.upper, point.value);
    }
}

void expectIdentical(const analysis::StabilityResult& actual,
                     const analysis::StabilityResult& expected) {
    EXPECT_EQ(actual.tau0, expected.tau0);
    EXPECT_EQ(actual.nominalHz, expected.nominalHz);
    EXPECT_EQ(actual.values, expected.values);
    EXPECT_EQ(actual.segments, expected.segments);
    ASSERT_EQ(actual.points.size(), expected.points.size());
    for (std::size_t i = 0; i < actual.points.size(); ++i) {
        const auto& a = actual.points[i];
        const auto& e = expected.points[i];
        const auto what =
            std::string(analysis::shortName(e.kind)) + " tau " + std::to_string(e.tau);
        EXPECT_EQ(a.kind, e.kind) << what;
        EXPECT_EQ(a.tau, e.tau) << what;
        EXPECT_EQ(a.terms, e.terms) << what;
        EXPECT_EQ(a.value, e.value) << what;
        EXPECT_EQ(a.lower, e.lower) << what;
        EXPECT_EQ(a.upper, e.upper) << what;
        EXPECT_EQ(a.alpha, e.alpha) << what;
        EXPECT_EQ(a.edf, e.edf) << what;
        EXPECT_EQ(a.hasInterval, e.hasInterval) << what;
    }
}

} // namespace analysis_test
