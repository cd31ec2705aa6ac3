// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/lag_squares.h"

#include "analysis/analysis_control.h"
#include "analysis/fourier.h"
#include "analysis/lane_sums.h"
#include "analysis/parallel_for.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <utility>

namespace analysis {

namespace {

// Lags up to here are summed point by point; above, a band of lags [L, 2L) at a time is formed
// from correlations of stretches of L points with the 2L - 1 after them, which costs about as much
// per lag once L is this large.
constexpr std::int64_t kDirectLags = 511;

// The lags [lowest, highest] (highest < 2 lowest) of the structure function, added into result:
// stretch by stretch, the L = lowest points from P correlated with the 2L - 1 after P + L, each
// stretch with the mean of the 3L - 1 points taken out, which the differences do not see.
void addBand(std::span<const double> x, std::int64_t lowest, std::int64_t highest,
             const Fourier& fourier, std::vector<double>& result, WorkMeter* meter) {
    const auto points = static_cast<std::int64_t>(x.size());
    const std::size_t length = 2 * static_cast<std::size_t>(lowest);
    std::vector<double> centred;
    std::vector<double> squares;
    std::vector<double> correlation(length);
    std::vector<std::complex<double>> work;
    for (std::int64_t start = 0; start + lowest < points; start += lowest) {
        if (meter != nullptr && meter->cancelled()) {
            return;
        }
        const std::int64_t end = std::min(start + 3 * lowest - 1, points);
        const auto span = static_cast<std::size_t>(end - start);
        const double mean =
            std::accumulate(x.begin() + start, x.begin() + end, 0.0) / static_cast<double>(span);
        centred.resize(span);
        squares.assign(span + 1, 0.0);
        for (std::size_t t = 0; t < span; ++t) {
            centred[t] = x[static_cast<std::size_t>(start) + t] - mean;
            squares[t + 1] = squares[t] + centred[t] * centred[t];
        }
        const std::span<const double> all(centred);
        fourier.correlate(all.first(std::min<std::size_t>(span, lowest)),
                          all.subspan(static_cast<std::size_t>(lowest)), correlation, work);
        for (std::int64_t lag = lowest; lag <= highest; ++lag) {
            // Pairs (p, p + lag) for p from start up to the stretch's end or the series' end.
            const std::int64_t pairs = std::min(lowest, points - lag - start);
            if (pairs <= 0) {
                break;
            }
            const auto n = static_cast<std::size_t>(pairs);
            const auto l = static_cast<std::size_t>(lag);
            const double ends = squares[n] + (squares[l + n] - squares[l]);
            result[l] += ends - 2 * correlation[l - static_cast<std::size_t>(lowest)];
        }
        if (meter != nullptr) {
            meter->add(fourierWork(length));
        }
    }
}

} // namespace

std::vector<double> structureFunction(std::span<const double> x, std::int64_t maxLag,
                                      const Fourier& fourier, WorkMeter* meter) {
    const auto points = static_cast<std::int64_t>(x.size());
    maxLag = std::min(maxLag, points - 1);
    std::vector<double> result(static_cast<std::size_t>(std::max<std::int64_t>(maxLag, 0)) + 1,
                               0.0);
    if (maxLag < 1) {
        return result;
    }
    const std::int64_t direct = std::min(maxLag, kDirectLags);
    std::vector<std::pair<std::int64_t, std::int64_t>> bands;
    for (std::int64_t lowest = kDirectLags + 1; lowest <= maxLag; lowest *= 2) {
        bands.emplace_back(lowest, std::min(2 * lowest - 1, maxLag));
    }
    // The bands first, the largest first, then the direct lags in groups of 16.
    constexpr std::int64_t kGroup = 16;
    const std::size_t groups = static_cast<std::size_t>((direct + kGroup - 1) / kGroup);
    parallelFor(bands.size() + groups, structureWork(points, maxLag), [&](std::size_t task) {
        if (task < bands.size()) {
            const auto& [lowest, highest] = bands[bands.size() - 1 - task];
            addBand(x, lowest, highest, fourier, result, meter);
            return;
        }
        const auto first = static_cast<std::int64_t>(task - bands.size()) * kGroup + 1;
        for (std::int64_t lag = first; lag < first + kGroup && lag <= direct; ++lag) {
            if (meter != nullptr && meter->cancelled()) {
                return;
            }
            result[static_cast<std::size_t>(lag)] = keptLagSquareSum(x, lag);
            if (meter != nullptr) {
                meter->add(static_cast<std::uint64_t>(points - lag));
            }
        }
    });
    return result;
}

double weightedPairSquares(std::span<const double> x, std::span<const double> weights,
                           const Fourier& fourier, WorkMeter* meter) {
    const std::size_t n = x.size();
    if (n < 2) {
        return 0;
    }
    const double mean = std::accumulate(x.begin(), x.end(), 0.0) / static_cast<double>(n);
    std::vector<double> u(n);
    std::vector<double> squares(n + 1, 0.0);
    for (std::size_t j = 0; j < n; ++j) {
        u[j] = x[j] - mean;
        squares[j + 1] = squares[j] + u[j] * u[j];
    }
    const std::size_t length = powerOfTwoAtLeast(2 * n);
    std::vector<double> correlation(length);
    std::vector<std::complex<double>> work;
    fourier.correlate(u, u, correlation, work);
    double sum = 0;
    for (std::size_t lag = 1; lag < n && lag < weights.size(); ++lag) {
        const double ends = squares[n - lag] + (squares[n] - squares[lag]);
        sum += weights[lag] * (ends - 2 * correlation[lag]);
    }
    if (meter != nullptr) {
        meter->add(weightedPairWork(static_cast<std::int64_t>(n)));
    }
    return sum;
}

std::uint64_t weightedPairWork(std::int64_t points) {
    return fourierWork(powerOfTwoAtLeast(2 * static_cast<std::size_t>(points)));
}

std::uint64_t structureWork(std::int64_t points, std::int64_t maxLag) {
    maxLag = std::min(maxLag, points - 1);
    const auto direct =
        static_cast<std::uint64_t>(std::max<std::int64_t>(std::min(maxLag, kDirectLags), 0));
    std::uint64_t work = direct * static_cast<std::uint64_t>(points) - direct * (direct + 1) / 2;
    for (std::int64_t lowest = kDirectLags + 1; lowest <= maxLag; lowest *= 2) {
        const auto stretches = static_cast<std::uint64_t>((points - 1) / lowest);
        work += stretches * fourierWork(2 * static_cast<std::size_t>(lowest));
    }
    return work;
}

} // namespace analysis
