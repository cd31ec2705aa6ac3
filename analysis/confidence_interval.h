// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/deviation.h"

#include <cstdint>
#include <optional>
#include <span>

namespace analysis {

// Gives point the chi-squared interval at the two-sided confidence level for edf degrees of
// freedom: value sqrt(edf / q), q the quantiles at (1 -+ level) / 2. No interval outside
// 0 < level < 1 or where a bound would not be finite.
void addInterval(DeviationPoint& point, double edf, double confidence);

// A point pooled from segments: segment s has points[s] phase points and terms[s] of the
// point's terms. The pooled variance is a mix of independent estimates weighted by their terms,
// so its 1/edf is the sum of (terms_s / terms)^2 / edf_s; empty where a segment has no EDF.
struct SegmentShare {
    std::int64_t points = 0;
    std::int64_t terms = 0;
};
template <typename Edf>
std::optional<double> pooledEdf(std::span<const SegmentShare> shares, std::int64_t terms, Edf edf) {
    double inverse = 0;
    for (const SegmentShare& share : shares) {
        if (share.terms == 0) {
            continue;
        }
        const std::optional<double> e = edf(share.points);
        if (!e) {
            return std::nullopt;
        }
        const double weight = static_cast<double>(share.terms) / static_cast<double>(terms);
        inverse += weight * weight / *e;
    }
    return inverse > 0 ? std::optional<double>(1.0 / inverse) : std::nullopt;
}

} // namespace analysis
