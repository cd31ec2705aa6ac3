// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

// One segment's phase x less its least-squares parabola c0 + c1 j + c2 j^2, and what the parabola
// adds back to its Theo1 and Allan sums. Neither sees c0 + c1 j. With D the combinations a sum
// squares, S(x) = S(r) + 2 sum D(r) D(p) + sum D(p)^2 for p_j = c2 j^2, whose D is a constant for
// each combination, and sum D(r) reduces to sums of r over stretches at the two ends.
//
// A frequency offset and drift make the structure function of x grow with the square of the lag
// and of the run; that of r does not, so its combinations keep their digits.
class TheoParabola {
public:
    // zone: the largest factor the parts are asked for (Theo1 m, or 2m for Allan).
    TheoParabola(std::span<const double> x, std::int64_t zone);

    const std::vector<double>& residual() const { return residual_; }
    double theoPart(std::int64_t m) const;
    double allanPart(std::int64_t m) const;

private:
    void fit(std::span<const double> x);

    std::vector<double> residual_;
    long double curvature_ = 0;           // c2
    std::vector<long double> ends_;       // Z(t): the first t residuals and the last t, t <= zone
    std::vector<long double> endsSum_;    // sum of Z(s) for s < t
    std::vector<long double> endsMoment_; // sum of s Z(s) for s < t
};

} // namespace analysis
