// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/extended_points.h"

#include "analysis/confidence_interval.h"
#include "analysis/extended_edf.h"
#include "analysis/greenhall_edf.h"
#include "analysis/reflected_sums.h"
#include "analysis/tau_grid.h"
#include "analysis/theo_deviation.h"
#include "analysis/theo_sums.h"
#include "analysis/time_error.h"
#include "analysis/total_deviation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <optional>

namespace analysis {

namespace {

std::vector<std::int64_t> grid(const StabilityOptions& options, std::int64_t largest) {
    return chosenFactors(options.spacing, options.factors, largest);
}

// TheoBR's ratio averages the Allan variance at m = 9 + 3i over Theo1 at m = 12 + 4i for
// i = 0 .. n, n = floor(0.1 M / 3 - 3): Allan taus up to a tenth of the run.
std::int64_t theoRatioCount(std::int64_t points) {
    const auto n = static_cast<std::int64_t>(std::floor(0.1 * static_cast<double>(points) / 3 - 3));
    return n < 0 ? 0 : n + 1;
}

// TheoH: the largest Allan factor of the grid up to a tenth of the run; 0 without any.
std::int64_t theoHSwitch(const StabilityOptions& options, std::int64_t points) {
    const double tenth = 0.1 * static_cast<double>(points - 1);
    std::int64_t switchAt = 0;
    for (std::int64_t m : grid(options, std::max<std::int64_t>(1, points))) {
        if (static_cast<double>(m) <= tenth) {
            switchAt = m;
        }
    }
    return switchAt;
}

std::vector<std::span<const double>> segments(const PhaseSeries& series) {
    std::vector<std::span<const double>> result;
    for (std::size_t s = 0; s < series.segmentStarts().size(); ++s) {
        result.push_back(
            series.phase().subspan(series.segmentStarts()[s], series.segmentPoints(s)));
    }
    return result;
}

std::int64_t longestSegment(const PhaseSeries& series) {
    std::size_t longest = 0;
    for (std::size_t s = 0; s < series.segmentStarts().size(); ++s) {
        longest = std::max(longest, series.segmentPoints(s));
    }
    return static_cast<std::int64_t>(longest);
}

std::vector<std::int64_t> evenFactors(const StabilityOptions& options, std::int64_t largest) {
    std::vector<std::int64_t> factors = grid(options, largest);
    std::erase_if(factors, [](std::int64_t m) { return m % 2 != 0; });
    return factors;
}

std::vector<std::int64_t> theoHFactors(const StabilityOptions& options, std::int64_t points) {
    const std::int64_t switchAt = theoHSwitch(options, points);
    std::vector<std::int64_t> factors;
    for (std::int64_t m : grid(options, switchAt - 1)) {
        factors.push_back(m);
    }
    if (theoRatioCount(points) > 0) {
        for (std::int64_t m : evenFactors(options, points - 1)) {
            if (0.75 * static_cast<double>(m) >= static_cast<double>(switchAt)) {
                factors.push_back(m);
            }
        }
    }
    return factors;
}

bool isTheo(Deviation kind) {
    return kind == Deviation::Theo1 || kind == Deviation::TheoBR || kind == Deviation::TheoH;
}

// The factors a Theo kind asks Theo1 sums at (its points' and, for TheoBR and TheoH, its ratio's
// 12 + 4i), ascending, and Allan sums at (the ratio's 9 + 3i, in the order of i).
struct TheoFactors {
    std::vector<std::int64_t> theo1;
    std::vector<std::int64_t> allan;
};

TheoFactors theoFactors(Deviation kind, const StabilityOptions& options, std::int64_t points) {
    TheoFactors factors;
    const std::int64_t switchAt = kind == Deviation::TheoH ? theoHSwitch(options, points) : 0;
    for (std::int64_t m : extendedFactors(kind, options, points)) {
        if (m >= switchAt) {
            factors.theo1.push_back(m);
        }
    }
    if (kind != Deviation::Theo1) {
        for (std::int64_t i = 0; i < theoRatioCount(points); ++i) {
            factors.theo1.push_back(12 + 4 * i);
            factors.allan.push_back(9 + 3 * i);
        }
    }
    std::sort(factors.theo1.begin(), factors.theo1.end());
    factors.theo1.erase(std::unique(factors.theo1.begin(), factors.theo1.end()),
                        factors.theo1.end());
    return factors;
}

// Sums pooled over the segments, and each segment's share for the EDF.
struct Pooled {
    SquareSum total;
    double maximum = 0;
    std::vector<SegmentShare> shares;

    void add(std::int64_t points, SquareSum part) {
        total.sum += part.sum;
        total.terms += part.terms;
        shares.push_back({points, part.terms});
    }
};

using SegmentSum = std::function<SquareSum(std::span<const double>)>;

Pooled pool(const std::vector<std::span<const double>>& parts, const SegmentSum& sum) {
    Pooled pooled;
    for (std::span<const double> x : parts) {
        pooled.add(static_cast<std::int64_t>(x.size()), sum(x));
    }
    return pooled;
}

class Builder {
public:
    Builder(const PhaseSeries& series, Deviation kind, const SeriesUnits& units,
            const StabilityOptions& options, const NoiseTypes& noise, WorkMeter& meter,
            SharedSums* shared)
        : kind_(kind), units_(units), options_(options), noise_(noise), meter_(meter),
          shared_(shared), parts_(segments(series)), longest_(longestSegment(series)) {}

    std::vector<DeviationPoint> build();

private:
    std::optional<DeviationPoint> pointAt(std::int64_t m);
    void totalSums(const std::vector<std::int64_t>& factors);
    std::optional<DeviationPoint> totalFamily(std::int64_t m);
    std::optional<DeviationPoint> theoFamily(std::int64_t m, Deviation as);
    std::optional<DeviationPoint> allanPoint(std::int64_t m);
    void timeErrorPoints(const std::vector<std::int64_t>& factors,
                         std::vector<std::optional<DeviationPoint>>& slots);
    double theoRatio();
    const std::vector<TheoSums>& theoSegments();
    Pooled pooledTheo1(std::int64_t m);
    DeviationPoint point(double tau, std::int64_t terms, double value, int alpha) const;
    void interval(DeviationPoint& p, const Pooled& pooled,
                  const std::function<std::optional<double>(std::int64_t)>& edf) const;

    Deviation kind_;
    SeriesUnits units_;
    const StabilityOptions& options_;
    const NoiseTypes& noise_;
    WorkMeter& meter_;
    SharedSums* shared_;
    std::vector<std::span<const double>> parts_;
    std::int64_t longest_;
    // The total family's sums at every factor, pooled over the segments.
    std::map<std::int64_t, Pooled> totals_;
    std::optional<double> ratio_;
    TheoFactors theoFactors_;
    std::vector<TheoSums> theoSums_; // per part, at theoFactors_
};

DeviationPoint Builder::point(double tau, std::int64_t terms, double value, int alpha) const {
    DeviationPoint p;
    p.kind = kind_;
    p.tau = tau;
    p.terms = terms;
    p.value = p.lower = p.upper = value;
    p.alpha = alpha;
    return p;
}

void Builder::interval(DeviationPoint& p, const Pooled& pooled,
                       const std::function<std::optional<double>(std::int64_t)>& edf) const {
    if (const auto e = pooledEdf(pooled.shares, pooled.total.terms, edf)) {
        addInterval(p, *e, options_.confidence);
    }
}

// Every factor's sums of every segment at once, each segment's factors spread over the threads
// together. MTOTDEV's and TTOTDEV's are the same: the one asked for second takes the first's.
void Builder::totalSums(const std::vector<std::int64_t>& factors) {
    const bool modified = kind_ == Deviation::ModifiedTotal || kind_ == Deviation::TimeTotal;
    std::vector<std::vector<SquareSum>> bySegment;
    if (modified && shared_ != nullptr &&
        std::all_of(factors.begin(), factors.end(),
                    [this](std::int64_t m) { return shared_->modifiedTotal.count(m) > 0; })) {
        for (std::size_t s = 0; s < parts_.size(); ++s) {
            std::vector<SquareSum> sums;
            for (std::int64_t m : factors) {
                sums.push_back(shared_->modifiedTotal.at(m).at(s));
            }
            bySegment.push_back(std::move(sums));
        }
    } else {
        for (std::span<const double> x : parts_) {
            switch (kind_) {
            case Deviation::Total:
                bySegment.push_back(analysis::totalSums(x, factors, &meter_));
                break;
            case Deviation::ModifiedTotal:
            case Deviation::TimeTotal:
                bySegment.push_back(modifiedTotalSums(x, factors, &meter_));
                break;
            case Deviation::HadamardTotal:
                bySegment.push_back(hadamardTotalSums(x, factors, &meter_));
                break;
            case Deviation::Allan:
            case Deviation::ModifiedAllan:
            case Deviation::Hadamard:
            case Deviation::Time:
            case Deviation::Theo1:
            case Deviation::TheoBR:
            case Deviation::TheoH:
            case Deviation::Mtie:
            case Deviation::TieRms:
                return;
            }
        }
        if (modified && shared_ != nullptr && !meter_.cancelled()) {
            for (std::size_t f = 0; f < factors.size(); ++f) {
                auto& shared = shared_->modifiedTotal[factors[f]];
                shared.clear();
                for (const auto& sums : bySegment) {
                    shared.push_back(sums[f]);
                }
            }
        }
    }
    for (std::size_t f = 0; f < factors.size(); ++f) {
        Pooled& pooled = totals_[factors[f]];
        for (std::size_t s = 0; s < parts_.size(); ++s) {
            pooled.add(static_cast<std::int64_t>(parts_[s].size()), bySegment[s][f]);
        }
    }
}

std::optional<DeviationPoint> Builder::totalFamily(std::int64_t m) {
    const double md = static_cast<double>(m);
    const double tau = md * units_.tau0;
    const int d = kind_ == Deviation::HadamardTotal ? 3 : 2;
    const int alpha = std::clamp(noise_.alpha(m, d), d == 3 ? -4 : -2, 2);
    Pooled pooled;
    double variance = 0;
    std::optional<double> bias;
    std::function<std::optional<double>(std::int64_t)> edf;
    if (const auto found = totals_.find(m); found != totals_.end()) {
        pooled = found->second;
    }
    switch (kind_) {
    case Deviation::Total:
        variance = pooled.total.sum / (2 * md * md * static_cast<double>(pooled.total.terms));
        bias = totalBias(alpha, md / static_cast<double>(longest_ - 1));
        edf = [alpha, m](std::int64_t points) { return totalEdf(alpha, m, points); };
        break;
    case Deviation::ModifiedTotal:
    case Deviation::TimeTotal:
        variance =
            pooled.total.sum / (2 * md * md * md * md * static_cast<double>(pooled.total.terms));
        bias = modifiedTotalBias(alpha);
        edf = [alpha, m](std::int64_t points) { return modifiedTotalEdf(alpha, m, points); };
        break;
    case Deviation::HadamardTotal:
        variance = pooled.total.sum / (6 * md * md * static_cast<double>(pooled.total.terms));
        bias = m > 1 ? hadamardTotalBias(alpha) : std::nullopt;
        break;
    case Deviation::Allan:
    case Deviation::ModifiedAllan:
    case Deviation::Hadamard:
    case Deviation::Time:
    case Deviation::Theo1:
    case Deviation::TheoBR:
    case Deviation::TheoH:
    case Deviation::Mtie:
    case Deviation::TieRms:
        return std::nullopt;
    }
    if (pooled.total.terms == 0) {
        return std::nullopt;
    }
    if (options_.biasCorrected && bias && *bias > 0) {
        variance /= *bias;
    }
    double value = std::sqrt(variance) * units_.scale;
    if (kind_ == Deviation::TimeTotal) {
        value *= tau / std::sqrt(3.0);
    }
    DeviationPoint p = point(tau, pooled.total.terms, value, alpha);
    if (edf) {
        interval(p, pooled, edf);
    }
    return p;
}

std::optional<DeviationPoint> Builder::allanPoint(std::int64_t m) {
    const double md = static_cast<double>(m);
    const int alpha = std::clamp(noise_.alpha(m, 2), -2, 2);
    const Pooled pooled = pool(parts_, [m](std::span<const double> x) { return allanSum(x, m); });
    if (pooled.total.terms == 0) {
        return std::nullopt;
    }
    const double value =
        std::sqrt(pooled.total.sum / (2 * md * md * static_cast<double>(pooled.total.terms))) *
        units_.scale;
    DeviationPoint p = point(md * units_.tau0, pooled.total.terms, value, alpha);
    interval(p, pooled, [alpha, m](std::int64_t points) {
        return greenhallEdf(alpha, 2, m, points, true, false);
    });
    return p;
}

// Every Theo1 and Allan sum the kind needs, once for all of them: per part, the factors formed
// together from its structure function where that is cheaper than one by one.
const std::vector<TheoSums>& Builder::theoSegments() {
    if (theoSums_.empty()) {
        theoFactors_ = theoFactors(kind_, options_, longest_);
        for (std::span<const double> x : parts_) {
            theoSums_.push_back(theoSums(x, theoFactors_.theo1, theoFactors_.allan, &meter_));
        }
    }
    return theoSums_;
}

Pooled Builder::pooledTheo1(std::int64_t m) {
    const std::vector<TheoSums>& sums = theoSegments();
    const auto at = static_cast<std::size_t>(
        std::lower_bound(theoFactors_.theo1.begin(), theoFactors_.theo1.end(), m) -
        theoFactors_.theo1.begin());
    Pooled pooled;
    for (std::size_t part = 0; part < parts_.size(); ++part) {
        pooled.add(static_cast<std::int64_t>(parts_[part].size()), sums[part].theo1[at]);
    }
    return pooled;
}

double Builder::theoRatio() {
    if (!ratio_) {
        const std::vector<TheoSums>& sums = theoSegments();
        const std::int64_t count = theoRatioCount(longest_);
        double sum = 0;
        for (std::int64_t i = 0; i < count && !meter_.cancelled(); ++i) {
            const std::int64_t allanM = 9 + 3 * i;
            const std::int64_t theoM = 12 + 4 * i;
            Pooled allan;
            for (std::size_t part = 0; part < parts_.size(); ++part) {
                allan.add(static_cast<std::int64_t>(parts_[part].size()),
                          sums[part].allan[static_cast<std::size_t>(i)]);
            }
            const Pooled theo = pooledTheo1(theoM);
            const double am = static_cast<double>(allanM);
            const double tm = static_cast<double>(theoM);
            const double allanVariance =
                allan.total.sum / (2 * am * am * static_cast<double>(allan.total.terms));
            const double theoVariance =
                theo.total.sum / (0.75 * tm * tm * static_cast<double>(theo.total.terms));
            sum += allanVariance / theoVariance;
        }
        ratio_ = count > 0 ? sum / static_cast<double>(count) : 0;
    }
    return *ratio_;
}

std::optional<DeviationPoint> Builder::theoFamily(std::int64_t m, Deviation as) {
    const double md = static_cast<double>(m);
    const double tau = 0.75 * md * units_.tau0;
    const auto noiseFactor = std::max<std::int64_t>(1, static_cast<std::int64_t>(0.75 * md));
    const int alpha = std::clamp(noise_.alpha(noiseFactor, 2), -2, 2);
    const Pooled pooled = pooledTheo1(m);
    if (pooled.total.terms == 0) {
        return std::nullopt;
    }
    double variance = pooled.total.sum / (0.75 * md * md * static_cast<double>(pooled.total.terms));
    if (as != Deviation::Theo1) {
        variance *= theoRatio();
    }
    if (!(variance > 0)) {
        return std::nullopt;
    }
    DeviationPoint p = point(tau, pooled.total.terms, std::sqrt(variance) * units_.scale, alpha);
    interval(p, pooled, [alpha, m](std::int64_t points) { return theo1Edf(alpha, m, points); });
    return p;
}

std::optional<DeviationPoint> Builder::pointAt(std::int64_t m) {
    switch (kind_) {
    case Deviation::Total:
    case Deviation::ModifiedTotal:
    case Deviation::TimeTotal:
    case Deviation::HadamardTotal:
        return totalFamily(m);
    case Deviation::Theo1:
    case Deviation::TheoBR:
        return theoFamily(m, kind_);
    case Deviation::TheoH:
        return m < theoHSwitch(options_, longest_) ? allanPoint(m)
                                                   : theoFamily(m, Deviation::TheoBR);
    case Deviation::Allan:
    case Deviation::ModifiedAllan:
    case Deviation::Hadamard:
    case Deviation::Time:
    case Deviation::Mtie:
    case Deviation::TieRms:
        return std::nullopt;
    }
    return std::nullopt;
}

void Builder::timeErrorPoints(const std::vector<std::int64_t>& factors,
                              std::vector<std::optional<DeviationPoint>>& slots) {
    std::vector<Pooled> pooled(factors.size());
    std::vector<double> phase;
    for (std::span<const double> x : parts_) {
        // The phase itself, not the one the series keeps with every value's first taken out.
        phase.resize(x.size());
        for (std::size_t k = 0; k < x.size(); ++k) {
            phase[k] = x[k] + static_cast<double>(k) * units_.phaseOffset;
        }
        const TimeErrors errors = timeErrors(phase, factors);
        for (std::size_t f = 0; f < factors.size(); ++f) {
            pooled[f].add(static_cast<std::int64_t>(x.size()), errors.squares[f]);
            pooled[f].maximum = std::max(pooled[f].maximum, errors.maximum[f]);
        }
        meter_.add(x.size() * factors.size());
    }
    const double seconds = units_.tau0 * units_.scale;
    for (std::size_t f = 0; f < factors.size(); ++f) {
        const SquareSum& s = pooled[f].total;
        if (s.terms == 0) {
            continue;
        }
        const double value = kind_ == Deviation::Mtie
                                 ? pooled[f].maximum * seconds
                                 : std::sqrt(s.sum / static_cast<double>(s.terms)) * seconds;
        const std::int64_t m = factors[f];
        slots[f] = point(static_cast<double>(m) * units_.tau0, s.terms, value,
                         std::clamp(noise_.alpha(m, 2), -2, 2));
    }
}

std::vector<DeviationPoint> Builder::build() {
    const std::vector<std::int64_t> factors = extendedFactors(kind_, options_, longest_);
    std::vector<std::optional<DeviationPoint>> slots(factors.size());
    if (kind_ == Deviation::Mtie || kind_ == Deviation::TieRms) {
        timeErrorPoints(factors, slots);
    } else {
        if (kind_ == Deviation::TheoBR || kind_ == Deviation::TheoH) {
            theoRatio();
        }
        if (kind_ == Deviation::Total || kind_ == Deviation::ModifiedTotal ||
            kind_ == Deviation::TimeTotal || kind_ == Deviation::HadamardTotal) {
            totalSums(factors);
        }
        // One factor after the other; the costly estimators spread each one over the threads.
        for (std::size_t i = 0; i < factors.size() && !meter_.cancelled(); ++i) {
            slots[i] = pointAt(factors[i]);
        }
    }
    std::vector<DeviationPoint> points;
    if (meter_.cancelled()) {
        return points;
    }
    for (const auto& slot : slots) {
        if (slot && std::isfinite(slot->value)) {
            points.push_back(*slot);
        }
    }
    return points;
}

} // namespace

bool isAccumulated(Deviation kind) {
    switch (kind) {
    case Deviation::Allan:
    case Deviation::ModifiedAllan:
    case Deviation::Hadamard:
    case Deviation::Time:
        return true;
    case Deviation::Total:
    case Deviation::ModifiedTotal:
    case Deviation::TimeTotal:
    case Deviation::HadamardTotal:
    case Deviation::Theo1:
    case Deviation::TheoBR:
    case Deviation::TheoH:
    case Deviation::Mtie:
    case Deviation::TieRms:
        return false;
    }
    return false;
}

std::vector<std::int64_t> extendedFactors(Deviation kind, const StabilityOptions& options,
                                          std::int64_t points) {
    switch (kind) {
    case Deviation::Total:
        return points >= 3 ? grid(options, points - 1) : std::vector<std::int64_t>{};
    case Deviation::ModifiedTotal:
    case Deviation::TimeTotal:
        return grid(options, points / 3);
    case Deviation::HadamardTotal:
        return grid(options, (points - 1) / 3);
    case Deviation::Theo1:
        return evenFactors(options, points - 1);
    case Deviation::TheoBR:
        return theoRatioCount(points) > 0 ? evenFactors(options, points - 1)
                                          : std::vector<std::int64_t>{};
    case Deviation::TheoH:
        return theoHFactors(options, points);
    case Deviation::Mtie:
    case Deviation::TieRms:
        return grid(options, points - 2);
    case Deviation::Allan:
    case Deviation::ModifiedAllan:
    case Deviation::Hadamard:
    case Deviation::Time:
        return {};
    }
    return {};
}

std::vector<std::int64_t> noiseFactors(Deviation kind, const StabilityOptions& options,
                                       std::int64_t points) {
    std::vector<std::int64_t> factors = extendedFactors(kind, options, points);
    if (isTheo(kind)) {
        const std::int64_t switchAt = kind == Deviation::TheoH ? theoHSwitch(options, points) : 0;
        for (std::int64_t& m : factors) {
            if (m >= switchAt) {
                m = std::max<std::int64_t>(
                    1, static_cast<std::int64_t>(0.75 * static_cast<double>(m)));
            }
        }
    }
    return factors;
}

std::uint64_t extendedWork(Deviation kind, const StabilityOptions& options,
                           const PhaseSeries& series) {
    const std::int64_t points = longestSegment(series);
    const auto total = static_cast<std::uint64_t>(series.phase().size());
    std::uint64_t work = 0;
    if (kind == Deviation::ModifiedTotal || kind == Deviation::TimeTotal) {
        const Deviation other =
            kind == Deviation::ModifiedTotal ? Deviation::TimeTotal : Deviation::ModifiedTotal;
        const auto mine = std::find(options.kinds.begin(), options.kinds.end(), kind);
        if (std::find(options.kinds.begin(), mine, other) != mine) {
            return 0; // the sums come from the other one
        }
    }
    for (std::int64_t m : extendedFactors(kind, options, points)) {
        switch (kind) {
        case Deviation::ModifiedTotal:
        case Deviation::TimeTotal:
            work += reflectedSquareWork(points, m);
            break;
        case Deviation::HadamardTotal:
            work += reflectedWork(points, m);
            break;
        case Deviation::Theo1:
        case Deviation::TheoBR:
        case Deviation::TheoH:
            break; // all their factors at once, below
        case Deviation::Total:
        case Deviation::Mtie:
        case Deviation::TieRms:
        case Deviation::Allan:
        case Deviation::ModifiedAllan:
        case Deviation::Hadamard:
        case Deviation::Time:
            work += total;
            break;
        }
    }
    if (isTheo(kind)) {
        const TheoFactors factors = theoFactors(kind, options, points);
        for (std::size_t s = 0; s < series.segmentStarts().size(); ++s) {
            work += theoSumsWork(static_cast<std::int64_t>(series.segmentPoints(s)), factors.theo1,
                                 factors.allan);
        }
    }
    return work;
}

std::vector<DeviationPoint> extendedPoints(const PhaseSeries& series, Deviation kind,
                                           const SeriesUnits& units,
                                           const StabilityOptions& options, const NoiseTypes& noise,
                                           WorkMeter& meter, SharedSums* shared) {
    return Builder(series, kind, units, options, noise, meter, shared).build();
}

} // namespace analysis
