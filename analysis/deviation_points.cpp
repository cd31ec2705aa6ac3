// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/deviation_points.h"

#include "analysis/confidence_interval.h"
#include "analysis/greenhall_edf.h"
#include "analysis/noise_types.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <map>
#include <optional>

namespace analysis {

namespace {

int differenceOrder(Deviation kind) {
    return kind == Deviation::Hadamard ? 3 : 2;
}

// Greenhall's EDF exists for alpha + 2 d > 1.
int admissibleAlpha(int alpha, int d) {
    return std::clamp(alpha, 2 - 2 * d, 2);
}

// The accumulated kinds' terms in a segment of this many phase points.
std::int64_t segmentTerms(Deviation kind, std::int64_t points, std::int64_t m) {
    switch (kind) {
    case Deviation::Allan:
        return std::max<std::int64_t>(0, points - 2 * m);
    case Deviation::Hadamard:
        return std::max<std::int64_t>(0, points - 3 * m);
    case Deviation::ModifiedAllan:
    case Deviation::Time:
        return std::max<std::int64_t>(0, points - 3 * m + 1);
    case Deviation::Total:
    case Deviation::ModifiedTotal:
    case Deviation::TimeTotal:
    case Deviation::HadamardTotal:
    case Deviation::Theo1:
    case Deviation::TheoBR:
    case Deviation::TheoH:
    case Deviation::Mtie:
    case Deviation::TieRms:
        return 0;
    }
    return 0;
}

// Segments pool their terms; the pooled variance is a mix of independent estimates weighted by
// their terms, so its 1/edf is the sum of weight^2 / edf over the segments.
std::optional<double> pooledEdf(Deviation kind, int alpha, std::int64_t m, std::int64_t terms,
                                const std::map<std::int64_t, std::int64_t>& segmentsByPoints) {
    double inverse = 0;
    for (const auto& [points, count] : segmentsByPoints) {
        const std::int64_t n = segmentTerms(kind, points, m);
        if (n == 0) {
            continue;
        }
        const bool modified = kind == Deviation::ModifiedAllan || kind == Deviation::Time;
        const std::optional<double> edf =
            greenhallEdf(alpha, differenceOrder(kind), m, points, true, modified);
        if (!edf) {
            return std::nullopt;
        }
        const double weight = static_cast<double>(n) / static_cast<double>(terms);
        inverse += static_cast<double>(count) * weight * weight / *edf;
    }
    return inverse > 0 ? std::optional<double>(1.0 / inverse) : std::nullopt;
}

struct SumAndTerms {
    double sum;
    std::int64_t terms;
};

SumAndTerms sumOf(const TauSums& sums, Deviation kind) {
    switch (kind) {
    case Deviation::Allan:
        return {sums.allan, sums.allanTerms};
    case Deviation::Hadamard:
        return {sums.hadamard, sums.hadamardTerms};
    case Deviation::ModifiedAllan:
    case Deviation::Time:
        return {sums.modified, sums.modifiedTerms};
    case Deviation::Total:
    case Deviation::ModifiedTotal:
    case Deviation::TimeTotal:
    case Deviation::HadamardTotal:
    case Deviation::Theo1:
    case Deviation::TheoBR:
    case Deviation::TheoH:
    case Deviation::Mtie:
    case Deviation::TieRms:
        return {0, 0};
    }
    return {0, 0};
}

// The deviation from its sum: the phase differences are in value x sample, so tau0 cancels.
double deviationValue(Deviation kind, SumAndTerms s, std::int64_t m, double tau, double scale) {
    const double md = static_cast<double>(m);
    const double n = static_cast<double>(s.terms);
    switch (kind) {
    case Deviation::Allan:
        return std::sqrt(s.sum / (2 * md * md * n)) * scale;
    case Deviation::Hadamard:
        return std::sqrt(s.sum / (6 * md * md * n)) * scale;
    case Deviation::ModifiedAllan:
        return std::sqrt(s.sum / (2 * md * md * md * md * n)) * scale;
    case Deviation::Time:
        return tau / std::sqrt(3.0) * std::sqrt(s.sum / (2 * md * md * md * md * n)) * scale;
    case Deviation::Total:
    case Deviation::ModifiedTotal:
    case Deviation::TimeTotal:
    case Deviation::HadamardTotal:
    case Deviation::Theo1:
    case Deviation::TheoBR:
    case Deviation::TheoH:
    case Deviation::Mtie:
    case Deviation::TieRms:
        return 0;
    }
    return 0;
}

} // namespace

std::vector<DeviationPoint> makePoints(const PhaseSeries& series,
                                       std::span<const TauAccumulator* const> accumulators,
                                       const SeriesUnits& units, const StabilityOptions& options,
                                       WorkMeter& meter) {
    std::map<std::int64_t, std::int64_t> segmentsByPoints;
    std::int64_t longest = 0;
    for (std::size_t s = 0; s < series.segmentStarts().size(); ++s) {
        const auto points = static_cast<std::int64_t>(series.segmentPoints(s));
        ++segmentsByPoints[points];
        longest = std::max(longest, points);
    }
    std::vector<std::int64_t> factors;
    for (const TauAccumulator* accumulator : accumulators) {
        factors.push_back(accumulator->m());
    }
    // The accumulated kinds see the noise of their own factors only, as they always have.
    const NoiseTypes accumulatedNoise(series, factors, options.forcedAlpha);
    for (Deviation kind : options.kinds) {
        if (!isAccumulated(kind)) {
            const std::vector<std::int64_t> more = noiseFactors(kind, options, longest);
            factors.insert(factors.end(), more.begin(), more.end());
        }
    }
    const bool anyExtended = std::any_of(options.kinds.begin(), options.kinds.end(),
                                         [](Deviation kind) { return !isAccumulated(kind); });
    const NoiseTypes extendedNoise(series, anyExtended ? factors : std::vector<std::int64_t>{},
                                   options.forcedAlpha);
    std::vector<DeviationPoint> points;
    SharedSums shared;
    for (Deviation kind : options.kinds) {
        if (meter.cancelled()) {
            break;
        }
        if (!isAccumulated(kind)) {
            const std::vector<DeviationPoint> extended =
                extendedPoints(series, kind, units, options, extendedNoise, meter, &shared);
            points.insert(points.end(), extended.begin(), extended.end());
            continue;
        }
        const int d = differenceOrder(kind);
        for (const TauAccumulator* accumulator : accumulators) {
            const std::int64_t m = accumulator->m();
            const SumAndTerms s = sumOf(accumulator->sums(), kind);
            if (s.terms == 0) {
                continue;
            }
            DeviationPoint point;
            point.kind = kind;
            point.tau = static_cast<double>(m) * units.tau0;
            point.terms = s.terms;
            point.value = deviationValue(kind, s, m, point.tau, units.scale);
            if (!std::isfinite(point.value)) {
                continue; // only readings beyond 1e150 Hz overflow the squares
            }
            point.lower = point.upper = point.value;
            point.alpha = admissibleAlpha(accumulatedNoise.alpha(m, d), d);
            if (const auto edf = pooledEdf(kind, point.alpha, m, s.terms, segmentsByPoints)) {
                addInterval(point, *edf, options.confidence);
            }
            points.push_back(point);
        }
    }
    return points;
}

std::uint64_t extendedWork(const PhaseSeries& series, const StabilityOptions& options) {
    std::uint64_t work = 0;
    for (Deviation kind : options.kinds) {
        if (!isAccumulated(kind)) {
            work += extendedWork(kind, options, series);
        }
    }
    return work;
}

} // namespace analysis
