// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/theo_parabola.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace analysis {

namespace {

std::size_t at(std::int64_t i) {
    return static_cast<std::size_t>(i);
}

long double determinant(const long double (&a)[3][3]) {
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

} // namespace

TheoParabola::TheoParabola(std::span<const double> x, std::int64_t zone)
    : residual_(x.begin(), x.end()) {
    const auto points = static_cast<std::int64_t>(x.size());
    if (points >= 3) {
        fit(x);
    }
    zone = std::clamp<std::int64_t>(zone, 0, points);
    ends_.assign(at(zone) + 1, 0.0L);
    for (std::int64_t t = 0; t < zone; ++t) {
        ends_[at(t + 1)] = ends_[at(t)] + residual_[at(t)] + residual_[at(points - 1 - t)];
    }
    endsSum_.assign(at(zone) + 2, 0.0L);
    endsMoment_.assign(at(zone) + 2, 0.0L);
    for (std::int64_t t = 0; t <= zone; ++t) {
        endsSum_[at(t + 1)] = endsSum_[at(t)] + ends_[at(t)];
        endsMoment_[at(t + 1)] = endsMoment_[at(t)] + static_cast<long double>(t) * ends_[at(t)];
    }
}

void TheoParabola::fit(std::span<const double> x) {
    // Against the first value (a difference of two doubles, exact in long double); the normal
    // equations in tau = (j - centre) / centre, which keeps them well conditioned.
    const long double first = x[0];
    const long double centre = static_cast<long double>(x.size() - 1) / 2;
    long double moments[5] = {0, 0, 0, 0, 0};
    long double weighted[3] = {0, 0, 0};
    long double range = 0;
    for (std::size_t j = 0; j < x.size(); ++j) {
        const long double y = x[j] - first;
        range = std::max(range, std::fabs(y));
        const long double tau = (static_cast<long double>(j) - centre) / centre;
        long double power = 1;
        for (int k = 0; k < 5; ++k) {
            moments[k] += power;
            if (k < 3) {
                weighted[k] += power * y;
            }
            power *= tau;
        }
    }
    long double normal[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            normal[row][column] = moments[row + column];
        }
    }
    const long double whole = determinant(normal);
    long double b[3];
    for (int column = 0; column < 3; ++column) { // Cramer's rule
        long double replaced[3][3];
        for (int row = 0; row < 3; ++row) {
            for (int c = 0; c < 3; ++c) {
                replaced[row][c] = c == column ? weighted[row] : normal[row][c];
            }
        }
        b[column] = determinant(replaced) / whole;
    }
    if (!std::isfinite(b[0] + b[1] + b[2]) || range == 0) {
        return;
    }
    // In powers of j, each coefficient a multiple of one quantum small beside the values: then
    // c0 + c1 j + c2 j^2 is exact in long double's 64 bits, as is y less it, and the residual has
    // a single rounding, to double, of its own size. Any parabola would do; this one is close to
    // the fitted one.
    const long double quantum = std::ldexp(1.0L, std::ilogb(range) - 56);
    const auto onGrid = [quantum](long double c) { return std::nearbyint(c / quantum) * quantum; };
    const long double c2 = onGrid(b[2] / (centre * centre));
    const long double c1 = onGrid((b[1] - 2 * b[2]) / centre);
    const long double c0 = onGrid(b[0] - b[1] + b[2]);
    curvature_ = c2;
    for (std::size_t j = 0; j < x.size(); ++j) {
        const auto lj = static_cast<long double>(j);
        residual_[j] = static_cast<double>((x[j] - first) - (c0 + lj * (c1 + lj * c2)));
    }
}

double TheoParabola::theoPart(std::int64_t m) const {
    const auto points = static_cast<long double>(residual_.size());
    const std::int64_t half = m / 2;
    const long double lm = static_cast<long double>(m);
    const long double h = static_cast<long double>(half);
    // sum over k = 1 .. m/2 of (m - k) (Z(k) + Z(m - k) - Z(m)): the sum of D(r) over each
    // window's terms at k, weighted by D(p)/(2 c2 k) = m - k.
    const long double ends = lm * (endsSum_[at(half + 1)] - endsSum_[at(1)]) -
                             (endsMoment_[at(half + 1)] - endsMoment_[at(1)]) +
                             (endsMoment_[at(m)] - endsMoment_[at(half)]) -
                             ends_[at(m)] * (lm * h - h * (h + 1) / 2);
    // sum over k = 1 .. m/2 of k (m - k)^2, so that sum D(p)^2 / k = 4 c2^2 (M - m) times it.
    const long double squares = lm * lm * h * (h + 1) / 2 - lm * h * (h + 1) * (2 * h + 1) / 3 +
                                (h * (h + 1) / 2) * (h * (h + 1) / 2);
    return static_cast<double>(4 * curvature_ * ends +
                               4 * curvature_ * curvature_ * (points - lm) * squares);
}

double TheoParabola::allanPart(std::int64_t m) const {
    const auto points = static_cast<long double>(residual_.size());
    const long double m2 = static_cast<long double>(m) * static_cast<long double>(m);
    // D(p) = 2 c2 m^2; the second differences of r add up to 2 Z(m) - Z(2m).
    return static_cast<double>(4 * curvature_ * m2 * (2 * ends_[at(m)] - ends_[at(2 * m)]) +
                               4 * curvature_ * curvature_ * m2 * m2 *
                                   (points - 2 * static_cast<long double>(m)));
}

} // namespace analysis
