// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/theo_sums.h"

#include "analysis/analysis_control.h"
#include "analysis/fourier.h"
#include "analysis/lag_squares.h"
#include "analysis/lane_sums.h"
#include "analysis/parallel_for.h"
#include "analysis/theo_deviation.h"
#include "analysis/theo_edge_sweep.h"
#include "analysis/theo_inner_pairs.h"
#include "analysis/theo_parabola.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace analysis {

namespace {

using Index = std::int64_t;

std::size_t at(Index i) {
    return static_cast<std::size_t>(i);
}

bool hasTheoTerms(Index m, Index points) {
    return m >= 2 && m % 2 == 0 && m <= points - 1;
}

bool hasAllanTerms(Index m, Index points) {
    return m >= 1 && 2 * m < points;
}

// The part of the Theo1 sums taken from the structure function SF of the whole residual: with
// the four pairs of each window's terms (i, i+m), (i+k, i+m-k), (i+k, i+m), (i, i+m-k), by
// (b - a)(d - c) = ((d - a)^2 + (c - b)^2 - (d - b)^2 - (c - a)^2) / 2, the sum over k of (1/k)
// (2 SF(k) - SF(m) - SF(m - 2k) + 2 SF(m - k)). Its terms exceed the Theo1 sum by up to about
// N/m log(m) (N the points, random-walk FM), and each comes to about 1e-15 of itself: what is left
// is about 1e-15 N/m of the sum.
class WholeSeries {
public:
    WholeSeries(std::span<const double> r, Index maxLag, const Fourier& fourier, WorkMeter* meter)
        : sf_(structureFunction(r, maxLag, fourier, meter)) {
        const Index lags = static_cast<Index>(sf_.size());
        falling_.resize(at(lags) + 1);
        harmonic_.resize(at(lags) + 1, 0.0);
        weighted_.resize(at(lags) + 1, 0.0);
        even_.resize(at(lags / 2) + 1);
        long double harmonic = 0;
        for (Index k = 1; k <= lags; ++k) {
            harmonic += 1.0L / static_cast<long double>(k);
            harmonic_[at(k)] = static_cast<double>(harmonic);
        }
        for (Index t = 0; t <= lags; ++t) {
            falling_[at(t)] = 1.0 / static_cast<double>(lags + 1 - t);
        }
        // weighted_[t] = the sum of SF(k)/k for k <= t, kept to its last digits.
        double sum = 0;
        double error = 0;
        for (Index k = 1; k < lags; ++k) {
            const double y = sf_[at(k)] / static_cast<double>(k);
            const double total = sum + y;
            const double back = total - sum;
            error += (sum - (total - back)) + (y - back);
            sum = total;
            weighted_[at(k)] = sum + error;
        }
        for (Index j = 0; 2 * j < lags; ++j) {
            even_[at(j)] = sf_[at(2 * j)];
        }
    }

    double lag(Index l) const { return sf_[at(l)]; }

    double theoPart(Index m) const {
        const Index h = m / 2;
        const Index top = static_cast<Index>(sf_.size()) + 1; // 1/(c - j) = falling_[top - c + j]
        // sum over k of SF(m - k)/k = over j = m-h .. m-1 of SF(j)/(m - j); sum of SF(m - 2k)/k
        // = over j = 0 .. h-1 of SF(2j)/(h - j).
        const double shifted = weightedSum(&sf_[at(m - h)], &falling_[at(top - h)], at(h));
        const double halved = weightedSum(&even_[0], &falling_[at(top - h)], at(h));
        return static_cast<double>(2.0L * weighted_[at(h)] -
                                   static_cast<long double>(harmonic_[at(h)]) * sf_[at(m)] -
                                   halved + 2.0L * shifted);
    }

private:
    std::vector<double> sf_;
    std::vector<double> falling_;
    std::vector<double> harmonic_;
    std::vector<double> weighted_;
    std::vector<double> even_;
};

// outer and inner of theo_edge_sweep.h at one factor m, formed for it alone.
EdgeSums edgesAt(std::span<const double> x, Index m, const Fourier& fourier, WorkMeter* meter) {
    const Index h = m / 2;
    std::vector<double> weights(at(m));
    for (Index l = 1; l < m; ++l) {
        weights[at(l)] = l < h    ? 1.0 / static_cast<double>(l)
                         : l == h ? 2.0 / static_cast<double>(h)
                                  : 1.0 / static_cast<double>(m - l);
    }
    EdgeSums sums;
    sums.outer = weightedPairSquares(x.first(at(m)), weights, fourier, meter);
    sums.inner = innerPairSquares(x, m, fourier, meter);
    return sums;
}

std::uint64_t edgesWork(Index m) {
    return weightedPairWork(m) + innerPairWork(m);
}

// The same within a third, without tiling the triangle, for weighing many factors.
std::uint64_t edgesEstimate(Index m) {
    const double lm = static_cast<double>(std::max<Index>(m, 2));
    return weightedPairWork(m) +
           static_cast<std::uint64_t>(2.5 * lm * std::log2(lm) * std::log2(lm));
}

// Which factors take which way.
struct Plan {
    bool structure = false;       // false: every factor directly
    std::vector<char> theoDirect; // per Theo1 factor, with structure
    std::vector<char> allanDirect;
    Index sweepEnd = 0; // Theo1 factors that are multiples of 4 up to here come from the sweep
    Index maxLag = 0;
    std::uint64_t work = 0;
};

std::uint64_t directAllanWork(Index m, Index points) {
    return static_cast<std::uint64_t>(std::max<Index>(points - 2 * m, 0));
}

// Each factor its cheaper way, given that the structure function is formed: a Theo1 factor
// directly, from the sweep (a multiple of 4 up to where the sweep costs less than forming the
// factors on its run one by one) or alone; an Allan factor directly or from the structure.
// allowDirect false: every factor from the structure function.
Plan structurePlan(Index points, std::span<const std::int64_t> theoFactors,
                   std::span<const std::int64_t> allanFactors, bool allowDirect) {
    Plan plan;
    plan.structure = true;
    plan.theoDirect.assign(theoFactors.size(), 0);
    plan.allanDirect.assign(allanFactors.size(), 0);
    const auto alone = [&](Index m) {
        const std::uint64_t structure = 2 * edgesEstimate(m) + static_cast<std::uint64_t>(m);
        return allowDirect ? std::min(structure, theo1Work(points, m)) : structure;
    };
    std::uint64_t single = 0; // the factors of the sweep's run, each alone
    std::uint64_t saved = 0;
    for (std::int64_t m : theoFactors) {
        if (hasTheoTerms(m, points) && m % 4 == 0) {
            single += alone(m);
            const std::uint64_t sweep = 2 * edgeSweepWork(m);
            if (sweep < single && single - sweep > saved) {
                saved = single - sweep;
                plan.sweepEnd = m;
            }
        }
    }
    plan.work = 2 * edgeSweepWork(plan.sweepEnd);
    for (std::size_t i = 0; i < theoFactors.size(); ++i) {
        const Index m = theoFactors[i];
        if (!hasTheoTerms(m, points)) {
            continue;
        }
        if (m % 4 == 0 && m <= plan.sweepEnd) {
            plan.work += static_cast<std::uint64_t>(m);
        } else if (allowDirect && theo1Work(points, m) <= alone(m)) {
            plan.theoDirect[i] = 1;
            plan.work += theo1Work(points, m);
            continue;
        } else {
            plan.work += 2 * edgesWork(m) + static_cast<std::uint64_t>(m);
        }
        plan.maxLag = std::max(plan.maxLag, m);
    }
    for (std::size_t i = 0; i < allanFactors.size(); ++i) {
        const Index m = allanFactors[i];
        if (!hasAllanTerms(m, points)) {
            continue;
        }
        if (allowDirect && directAllanWork(m, points) <= 2 * static_cast<std::uint64_t>(m)) {
            plan.allanDirect[i] = 1;
            plan.work += directAllanWork(m, points);
            continue;
        }
        plan.maxLag = std::max(plan.maxLag, 2 * m);
        plan.work += 2 * static_cast<std::uint64_t>(m);
    }
    plan.work += structureWork(points, plan.maxLag);
    return plan;
}

// The cheaper of that and every factor directly.
Plan cheapestPlan(Index points, std::span<const std::int64_t> theoFactors,
                  std::span<const std::int64_t> allanFactors) {
    Plan direct;
    direct.theoDirect.assign(theoFactors.size(), 1);
    direct.allanDirect.assign(allanFactors.size(), 1);
    for (std::int64_t m : theoFactors) {
        direct.work += hasTheoTerms(m, points) ? theo1Work(points, m) : 0;
    }
    for (std::int64_t m : allanFactors) {
        direct.work += hasAllanTerms(m, points) ? directAllanWork(m, points) : 0;
    }
    Plan structure = structurePlan(points, theoFactors, allanFactors, true);
    return structure.work < direct.work ? structure : direct;
}

TheoSums fromStructure(std::span<const double> x, std::span<const std::int64_t> theoFactors,
                       std::span<const std::int64_t> allanFactors, const Plan& plan,
                       WorkMeter* meter) {
    const auto points = static_cast<Index>(x.size());
    TheoSums result;
    result.theo1.resize(theoFactors.size());
    result.allan.resize(allanFactors.size());
    const TheoParabola parabola(x, plan.maxLag);
    const std::vector<double>& r = parabola.residual();
    const std::vector<double> reversed(r.rbegin(), r.rend());
    const std::span<const double> ends[2] = {r, reversed};
    // One table of twiddles for every correlation: the largest is 2 maxLag long.
    const Fourier fourier(2 * static_cast<std::size_t>(plan.maxLag));
    const WholeSeries whole(r, plan.maxLag, fourier, meter);
    // The pairs left out at each end: the sweep's factors in one task per end, the others in one
    // task per factor and end, the costliest first.
    std::vector<std::int64_t> swept;
    std::vector<std::size_t> alone;
    for (std::size_t i = 0; i < theoFactors.size(); ++i) {
        const Index m = theoFactors[i];
        if (plan.theoDirect[i] || !hasTheoTerms(m, points)) {
            continue;
        }
        if (m % 4 == 0 && m <= plan.sweepEnd) {
            swept.push_back(m);
        } else {
            alone.push_back(i);
        }
    }
    std::sort(swept.begin(), swept.end());
    swept.erase(std::unique(swept.begin(), swept.end()), swept.end());
    std::sort(alone.begin(), alone.end(),
              [&](std::size_t a, std::size_t b) { return theoFactors[a] > theoFactors[b]; });
    std::vector<EdgeSums> sweeps[2];
    std::vector<EdgeSums> single[2] = {std::vector<EdgeSums>(theoFactors.size()),
                                       std::vector<EdgeSums>(theoFactors.size())};
    parallelFor(2 + 2 * alone.size(), static_cast<std::size_t>(plan.work), [&](std::size_t task) {
        if (task < 2) {
            sweeps[task] = edgeSweep(ends[task], swept, meter);
            return;
        }
        const std::size_t i = alone[(task - 2) / 2];
        single[task % 2][i] = edgesAt(ends[task % 2], theoFactors[i], fourier, meter);
    });
    // The sums, a stretch of factors per task.
    constexpr std::size_t kStretch = 256;
    const std::size_t stretches =
        (theoFactors.size() + allanFactors.size() + kStretch - 1) / kStretch;
    parallelFor(stretches, static_cast<std::size_t>(plan.work), [&](std::size_t stretch) {
        for (std::size_t k = stretch * kStretch;
             k < std::min((stretch + 1) * kStretch, theoFactors.size() + allanFactors.size());
             ++k) {
            if (meter != nullptr && meter->cancelled()) {
                return;
            }
            if (k < theoFactors.size()) {
                const Index m = theoFactors[k];
                if (plan.theoDirect[k] || !hasTheoTerms(m, points)) {
                    continue;
                }
                EdgeSums first = single[0][k];
                EdgeSums last = single[1][k];
                const auto in = std::lower_bound(swept.begin(), swept.end(), m);
                if (in != swept.end() && *in == m) {
                    first = sweeps[0][at(in - swept.begin())];
                    last = sweeps[1][at(in - swept.begin())];
                }
                result.theo1[k].sum = whole.theoPart(m) - first.outer - last.outer + first.inner +
                                      last.inner + parabola.theoPart(m);
                result.theo1[k].terms = points - m;
                if (meter != nullptr) {
                    meter->add(static_cast<std::uint64_t>(m));
                }
                continue;
            }
            const std::size_t i = k - theoFactors.size();
            const Index m = allanFactors[i];
            if (plan.allanDirect[i] || !hasAllanTerms(m, points)) {
                continue;
            }
            // (x_i - 2 x_(i+m) + x_(i+2m))^2 = 2 a^2 + 2 b^2 - (a + b)^2 for its two differences
            // a, b of lag m: twice the pairs of lag m but those of the first and last m, less
            // those of lag 2m.
            const double edges = lagSquareSum(ends[0].first(at(2 * m)), m) +
                                 lagSquareSum(ends[1].first(at(2 * m)), m);
            result.allan[i].sum =
                4 * whole.lag(m) - whole.lag(2 * m) - 2 * edges + parabola.allanPart(m);
            result.allan[i].terms = points - 2 * m;
            if (meter != nullptr) {
                meter->add(2 * static_cast<std::uint64_t>(m));
            }
        }
    });
    return result;
}

} // namespace

TheoSums theoSumsFromStructure(std::span<const double> x, std::span<const std::int64_t> theoFactors,
                               std::span<const std::int64_t> allanFactors, WorkMeter* meter) {
    const auto points = static_cast<Index>(x.size());
    return fromStructure(x, theoFactors, allanFactors,
                         structurePlan(points, theoFactors, allanFactors, false), meter);
}

TheoSums theoSums(std::span<const double> x, std::span<const std::int64_t> theoFactors,
                  std::span<const std::int64_t> allanFactors, WorkMeter* meter) {
    const auto points = static_cast<Index>(x.size());
    const Plan plan = cheapestPlan(points, theoFactors, allanFactors);
    TheoSums result;
    if (plan.structure) {
        result = fromStructure(x, theoFactors, allanFactors, plan, meter);
    } else {
        result.theo1.resize(theoFactors.size());
        result.allan.resize(allanFactors.size());
    }
    for (std::size_t i = 0; i < theoFactors.size(); ++i) {
        if (plan.theoDirect[i] && (meter == nullptr || !meter->cancelled())) {
            result.theo1[i] = theo1Sum(x, theoFactors[i], meter);
        }
    }
    for (std::size_t i = 0; i < allanFactors.size(); ++i) {
        if (plan.allanDirect[i] && (meter == nullptr || !meter->cancelled())) {
            result.allan[i] = allanSum(x, allanFactors[i]);
            if (meter != nullptr) {
                meter->add(directAllanWork(allanFactors[i], points));
            }
        }
    }
    return result;
}

std::uint64_t theoSumsWork(std::int64_t points, std::span<const std::int64_t> theoFactors,
                           std::span<const std::int64_t> allanFactors) {
    return cheapestPlan(points, theoFactors, allanFactors).work;
}

} // namespace analysis
