// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/noise_id.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace analysis {

namespace {

constexpr double kDifferenceThreshold = 0.25;

NoiseEstimate estimateFor(double rho, int differences) {
    // nearbyint rounds half to even, as the method's reference implementation does.
    return {static_cast<int>(-std::nearbyint(2 * rho)) - 2 * differences, -2 * (rho + differences),
            differences, rho};
}

} // namespace

NoiseIdentifier::NoiseIdentifier(std::int64_t count) : count_(count) {}

template <typename Visit>
void NoiseIdentifier::differences(std::int64_t index, double z, Visit visit) {
    // The d-th difference exists from the d-th value on.
    double value = z;
    for (int level = 0; level < kLevels && index >= level; ++level) {
        const auto l = static_cast<std::size_t>(level);
        const double previous = last_[l];
        last_[l] = value;
        if (level > 0) {
            visit(level, value);
        }
        value -= previous;
    }
}

void NoiseIdentifier::firstPassStart(double z) {
    if (firstIndex_ == 0) {
        reference_ = z;
    }
    const double t = static_cast<double>(firstIndex_) - 0.5 * static_cast<double>(count_ - 1);
    sumOfOffsets_ += z - reference_;
    sumOfTimesOffsets_ += t * (z - reference_);
    differences(firstIndex_, z,
                [this](int level, double u) { levelMeans_[static_cast<std::size_t>(level)] += u; });
    ++firstIndex_;
}

void NoiseIdentifier::firstPass(std::span<const double> averages) {
    std::size_t i = 0;
    for (; i < averages.size() && firstIndex_ < kLevels; ++i) {
        firstPassStart(averages[i]);
    }
    const double reference = reference_;
    double t = static_cast<double>(firstIndex_) - 0.5 * static_cast<double>(count_ - 1);
    double offsets = sumOfOffsets_;
    double timesOffsets = sumOfTimesOffsets_;
    double last0 = last_[0], last1 = last_[1], last2 = last_[2];
    double sum1 = levelMeans_[1], sum2 = levelMeans_[2], sum3 = levelMeans_[3];
    for (; i < averages.size(); ++i) {
        const double z = averages[i];
        const double d1 = z - last0;
        const double d2 = d1 - last1;
        const double d3 = d2 - last2;
        last0 = z;
        last1 = d1;
        last2 = d2;
        sum1 += d1;
        sum2 += d2;
        sum3 += d3;
        offsets += z - reference;
        timesOffsets += t * (z - reference);
        t += 1;
        ++firstIndex_;
    }
    sumOfOffsets_ = offsets;
    sumOfTimesOffsets_ = timesOffsets;
    last_ = {last0, last1, last2, 0};
    levelMeans_ = {0, sum1, sum2, sum3};
    if (firstIndex_ == count_) {
        finishFirstPass();
    }
}

void NoiseIdentifier::finishFirstPass() {
    const double n = static_cast<double>(count_);
    mean_ = reference_ + sumOfOffsets_ / n;
    slope_ = count_ > 1 ? sumOfTimesOffsets_ / (n * (n * n - 1) / 12) : 0;
    for (int level = 1; level < kLevels; ++level) {
        const auto l = static_cast<std::size_t>(level);
        levelMeans_[l] = count_ > level ? levelMeans_[l] / static_cast<double>(count_ - level) : 0;
    }
}

void NoiseIdentifier::secondPassStart(double z) {
    const double t = static_cast<double>(secondIndex_) - 0.5 * static_cast<double>(count_ - 1);
    const double residual = z - mean_ - slope_ * t;
    if (secondIndex_ == 0) {
        firstResidual_ = residual;
    } else {
        lagged_[0] += previous_[0] * residual;
    }
    squares_[0] += residual * residual;
    sumOfResiduals_ += residual;
    previous_[0] = residual;
    differences(secondIndex_, z, [this](int level, double u) {
        const auto l = static_cast<std::size_t>(level);
        const double centred = u - levelMeans_[l];
        if (secondIndex_ > level) {
            lagged_[l] += previous_[l] * centred;
        }
        squares_[l] += centred * centred;
        previous_[l] = centred;
    });
    ++secondIndex_;
}

void NoiseIdentifier::secondPass(std::span<const double> averages) {
    std::size_t i = 0;
    for (; i < averages.size() && secondIndex_ < kLevels; ++i) {
        secondPassStart(averages[i]);
    }
    const double mean = mean_;
    const double slope = slope_;
    const double mean1 = levelMeans_[1], mean2 = levelMeans_[2], mean3 = levelMeans_[3];
    double t = static_cast<double>(secondIndex_) - 0.5 * static_cast<double>(count_ - 1);
    double last0 = last_[0], last1 = last_[1], last2 = last_[2];
    double previous0 = previous_[0], previous1 = previous_[1], previous2 = previous_[2],
           previous3 = previous_[3];
    double squares0 = squares_[0], squares1 = squares_[1], squares2 = squares_[2],
           squares3 = squares_[3];
    double lagged0 = lagged_[0], lagged1 = lagged_[1], lagged2 = lagged_[2], lagged3 = lagged_[3];
    double residuals = sumOfResiduals_;
    for (; i < averages.size(); ++i) {
        const double z = averages[i];
        const double residual = z - mean - slope * t;
        t += 1;
        lagged0 += previous0 * residual;
        squares0 += residual * residual;
        residuals += residual;
        previous0 = residual;
        const double d1 = z - last0;
        const double d2 = d1 - last1;
        const double d3 = d2 - last2;
        last0 = z;
        last1 = d1;
        last2 = d2;
        const double c1 = d1 - mean1;
        const double c2 = d2 - mean2;
        const double c3 = d3 - mean3;
        lagged1 += previous1 * c1;
        lagged2 += previous2 * c2;
        lagged3 += previous3 * c3;
        squares1 += c1 * c1;
        squares2 += c2 * c2;
        squares3 += c3 * c3;
        previous1 = c1;
        previous2 = c2;
        previous3 = c3;
        ++secondIndex_;
    }
    last_ = {last0, last1, last2, 0};
    previous_ = {previous0, previous1, previous2, previous3};
    squares_ = {squares0, squares1, squares2, squares3};
    lagged_ = {lagged0, lagged1, lagged2, lagged3};
    sumOfResiduals_ = residuals;
}

std::optional<NoiseEstimate> NoiseIdentifier::estimate(int maxDifferences) const {
    if (count_ < kMinNoiseIdValues || secondIndex_ != count_ || maxDifferences < 1 ||
        maxDifferences > kMaxDifferences) {
        return std::nullopt;
    }
    for (int d = 0;; ++d) {
        const auto l = static_cast<std::size_t>(d);
        double squares = squares_[l];
        double lagged = lagged_[l];
        if (d == 0) {
            const double n = static_cast<double>(count_);
            const double mean = sumOfResiduals_ / n;
            squares -= n * mean * mean;
            lagged += -mean * (2 * sumOfResiduals_ - firstResidual_ - previous_[0]) +
                      (n - 1) * mean * mean;
        }
        const double r1 = lagged / squares;
        if (!(squares > 0) || !std::isfinite(r1)) {
            return std::nullopt;
        }
        const double rho = r1 / (1.0 + r1);
        if (rho < kDifferenceThreshold || d >= maxDifferences) {
            return estimateFor(rho, d);
        }
    }
}

std::optional<NoiseEstimate> identifyNoise(std::span<const double> fractional, std::int64_t m,
                                           int maxDifferences) {
    if (m < 1) {
        return std::nullopt;
    }
    const auto size = static_cast<std::size_t>(m);
    const std::size_t blocks = fractional.size() / size;
    std::vector<double> averages(blocks);
    for (std::size_t b = 0; b < blocks; ++b) {
        double sum = 0;
        for (std::size_t i = 0; i < size; ++i) {
            sum += fractional[b * size + i];
        }
        averages[b] = sum / static_cast<double>(m);
    }
    NoiseIdentifier identifier(static_cast<std::int64_t>(blocks));
    identifier.firstPass(averages);
    identifier.secondPass(averages);
    return identifier.estimate(maxDifferences);
}

} // namespace analysis
