// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/deviation_points.h"

#include "analysis/chi_squared.h"
#include "analysis/greenhall_edf.h"
#include "analysis/noise_id.h"
#include "analysis/parallel_for.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <map>
#include <optional>

namespace analysis {

namespace {

// Noise type assumed where the series is too short to tell.
constexpr int kWhiteFrequencyNoise = 0;

int differenceOrder(Deviation kind) {
    return kind == Deviation::Hadamard ? 3 : 2;
}

// Greenhall's EDF exists for alpha + 2 d > 1.
int admissibleAlpha(int alpha, int d) {
    return std::clamp(alpha, 2 - 2 * d, 2);
}

// The averages over m values of each segment, one segment after the other, handed to take in
// pieces.
template <typename Take> void forEachAverage(const PhaseSeries& series, std::size_t m, Take take) {
    constexpr std::size_t kPiece = 4096;
    std::array<double, kPiece> piece;
    std::size_t filled = 0;
    const std::span<const double> phase = series.phase();
    for (std::size_t s = 0; s < series.segmentStarts().size(); ++s) {
        const double* x = phase.data() + series.segmentStarts()[s];
        const std::size_t blocks = (series.segmentPoints(s) - 1) / m;
        for (std::size_t b = 0; b < blocks; ++b) {
            piece[filled++] = (x[(b + 1) * m] - x[b * m]) / static_cast<double>(m);
            if (filled == kPiece) {
                take(std::span<const double>(piece.data(), filled));
                filled = 0;
            }
        }
    }
    take(std::span<const double>(piece.data(), filled));
}

// The noise types found at factor m for 2 and 3 allowed differences, where there are enough
// averages (blocks of m within a segment, the segments' averages one after the other).
std::array<std::optional<int>, 2> identifyAt(const PhaseSeries& series, std::size_t m) {
    std::int64_t count = 0;
    for (std::size_t s = 0; s < series.segmentStarts().size(); ++s) {
        count += static_cast<std::int64_t>((series.segmentPoints(s) - 1) / m);
    }
    if (count < kMinNoiseIdValues) {
        return {};
    }
    NoiseIdentifier identifier(count);
    forEachAverage(series, m, [&](std::span<const double> z) { identifier.firstPass(z); });
    forEachAverage(series, m, [&](std::span<const double> z) { identifier.secondPass(z); });
    std::array<std::optional<int>, 2> types;
    for (int d = 2; d <= 3; ++d) {
        if (const auto estimate = identifier.estimate(d)) {
            types[static_cast<std::size_t>(d - 2)] = estimate->alpha;
        }
    }
    return types;
}

// Noise types per accumulator, for 2 and 3 allowed differences: identified where there are
// enough averages, else carried over from the largest smaller factor that had them.
std::vector<std::array<int, 2>> identifyTypes(const PhaseSeries& series,
                                              std::span<const TauAccumulator* const> accumulators) {
    std::vector<std::array<std::optional<int>, 2>> found(accumulators.size());
    std::size_t work = 0;
    for (const TauAccumulator* accumulator : accumulators) {
        work += series.phase().size() / static_cast<std::size_t>(accumulator->m());
    }
    parallelFor(accumulators.size(), work, [&](std::size_t i) {
        found[i] = identifyAt(series, static_cast<std::size_t>(accumulators[i]->m()));
    });
    std::vector<std::array<int, 2>> types;
    std::array<int, 2> last{kWhiteFrequencyNoise, kWhiteFrequencyNoise};
    for (const auto& atFactor : found) {
        for (std::size_t i = 0; i < 2; ++i) {
            last[i] = atFactor[i].value_or(last[i]);
        }
        types.push_back(last);
    }
    return types;
}

std::int64_t segmentTerms(Deviation kind, std::int64_t points, std::int64_t m) {
    switch (kind) {
    case Deviation::Allan:
        return std::max<std::int64_t>(0, points - 2 * m);
    case Deviation::Hadamard:
        return std::max<std::int64_t>(0, points - 3 * m);
    default:
        return std::max<std::int64_t>(0, points - 3 * m + 1);
    }
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
    default:
        return {sums.modified, sums.modifiedTerms};
    }
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
    }
    return 0;
}

void addInterval(DeviationPoint& point, double edf, double confidence) {
    if (!(confidence > 0 && confidence < 1)) {
        return;
    }
    const double tail = std::min(confidence, 1 - confidence) / 2;
    const double lowQuantile = chiSquaredQuantile(tail, edf);
    const double highQuantile = chiSquaredQuantile(1 - tail, edf);
    if (!(lowQuantile > 0 && highQuantile > 0)) {
        return;
    }
    point.lower = point.value * std::sqrt(edf / highQuantile);
    point.upper = point.value * std::sqrt(edf / lowQuantile);
    point.edf = edf;
    point.hasInterval = std::isfinite(point.lower) && std::isfinite(point.upper);
    if (!point.hasInterval) {
        point.lower = point.upper = point.value;
        point.edf = 0;
    }
}

} // namespace

std::vector<DeviationPoint> makePoints(const PhaseSeries& series,
                                       std::span<const TauAccumulator* const> accumulators,
                                       double tau0, double scale, const StabilityOptions& options) {
    std::map<std::int64_t, std::int64_t> segmentsByPoints;
    for (std::size_t s = 0; s < series.segmentStarts().size(); ++s) {
        ++segmentsByPoints[static_cast<std::int64_t>(series.segmentPoints(s))];
    }
    const std::vector<std::array<int, 2>> identified =
        options.forcedAlpha ? std::vector<std::array<int, 2>>(
                                  accumulators.size(), {*options.forcedAlpha, *options.forcedAlpha})
                            : identifyTypes(series, accumulators);
    std::vector<DeviationPoint> points;
    for (Deviation kind : options.kinds) {
        const int d = differenceOrder(kind);
        for (std::size_t i = 0; i < accumulators.size(); ++i) {
            const std::int64_t m = accumulators[i]->m();
            const SumAndTerms s = sumOf(accumulators[i]->sums(), kind);
            if (s.terms == 0) {
                continue;
            }
            DeviationPoint point;
            point.kind = kind;
            point.tau = static_cast<double>(m) * tau0;
            point.terms = s.terms;
            point.value = deviationValue(kind, s, m, point.tau, scale);
            if (!std::isfinite(point.value)) {
                continue; // only readings beyond 1e150 Hz overflow the squares
            }
            point.lower = point.upper = point.value;
            point.alpha = admissibleAlpha(identified[i][d == 3 ? 1 : 0], d);
            if (const auto edf = pooledEdf(kind, point.alpha, m, s.terms, segmentsByPoints)) {
                addInterval(point, *edf, options.confidence);
            }
            points.push_back(point);
        }
    }
    return points;
}

} // namespace analysis
