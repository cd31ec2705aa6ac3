// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/noise_types.h"

#include "analysis/noise_id.h"
#include "analysis/parallel_for.h"

#include <algorithm>
#include <cstddef>

namespace analysis {

namespace {

// Noise type assumed where the series is too short to tell.
constexpr int kWhiteFrequencyNoise = 0;

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
// averages.
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

} // namespace

NoiseTypes::NoiseTypes(const PhaseSeries& series, std::vector<std::int64_t> factors,
                       std::optional<int> forced)
    : forced_(forced) {
    if (forced_) {
        return;
    }
    std::sort(factors.begin(), factors.end());
    factors.erase(std::unique(factors.begin(), factors.end()), factors.end());
    factors.erase(
        std::remove_if(factors.begin(), factors.end(), [](std::int64_t m) { return m < 1; }),
        factors.end());
    std::vector<std::array<std::optional<int>, 2>> found(factors.size());
    std::size_t work = 0;
    for (std::int64_t m : factors) {
        work += series.phase().size() / static_cast<std::size_t>(m);
    }
    parallelFor(factors.size(), work, [&](std::size_t i) {
        found[i] = identifyAt(series, static_cast<std::size_t>(factors[i]));
    });
    std::array<int, 2> last{kWhiteFrequencyNoise, kWhiteFrequencyNoise};
    for (const auto& atFactor : found) {
        for (std::size_t i = 0; i < 2; ++i) {
            last[i] = atFactor[i].value_or(last[i]);
        }
        types_.push_back(last);
    }
    factors_ = std::move(factors);
}

int NoiseTypes::alpha(std::int64_t m, int d) const {
    if (forced_) {
        return *forced_;
    }
    const auto after = std::upper_bound(factors_.begin(), factors_.end(), m);
    if (after == factors_.begin()) {
        return kWhiteFrequencyNoise;
    }
    return types_[static_cast<std::size_t>(after - factors_.begin() - 1)][d == 3 ? 1 : 0];
}

} // namespace analysis
