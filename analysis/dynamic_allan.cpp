// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/dynamic_allan.h"

#include "analysis/tau_grid.h"
#include "analysis/timed_values.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Intervals from this long on are gaps under tau0 (isGap); none without a tau0.
double gapThresholdMs(double tau0Ms) {
    return tau0Ms > 0 ? 1.5 * tau0Ms : std::numeric_limits<double>::infinity();
}

} // namespace

DynamicAllan::DynamicAllan(std::size_t window, std::size_t step)
    : window_(std::max<std::size_t>(2, window)), step_(std::max<std::size_t>(1, step)),
      timeMs_(window_), values_(window_), series_(window_), recordedGap_(window_, 0) {
    const auto largest = largestAveragingFactor(static_cast<std::int64_t>(window_));
    for (std::int64_t m : averagingFactors(TauSpacing::Octave, largest)) {
        Factor factor;
        factor.m = m;
        factor.sums.assign(static_cast<std::size_t>(m) + 1, kNone);
        factor.terms.assign(window_, kNone);
        factors_.push_back(std::move(factor));
    }
}

void DynamicAllan::add(double timeMs, double value, Quantity quantity, bool gapBefore) {
    if (!std::isfinite(timeMs)) {
        pendingGap_ = pendingGap_ || gapBefore;
        return;
    }
    if (readings_ == 0) {
        phase_ = quantity == Quantity::Phase;
    }
    const std::size_t index = readings_;
    if (index >= window_) {
        leave(index - window_);
    }
    timeMs_[slot(index)] = timeMs;
    recordedGap_[slot(index)] = gapBefore || pendingGap_ ? 1 : 0;
    pendingGap_ = false;
    values_[slot(index)] = usableValue(value, quantity, phase_);
    if (!phase_ && !haveReference_ && std::isfinite(values_[slot(index)])) {
        reference_ = values_[slot(index)];
        haveReference_ = true;
    }
    ++readings_;
    if (index > 0) {
        if (const double interval = timeMs - timeMs_[slot(index - 1)]; interval > 0) {
            intervals_.add(interval);
        }
    }
    const double before = gapThresholdMs(tau0Ms_);
    tau0Ms_ = intervals_.lowerMedian();
    const double after = gapThresholdMs(tau0Ms_);
    if (before != after && intervals_.anyIn(std::min(before, after), std::max(before, after))) {
        rebuild();
    } else {
        enter(index, index == readings_ - std::min(readings_, window_));
    }
    if (readings_ >= window_ && (readings_ - window_) % step_ == 0) {
        emitColumn();
    }
}

bool DynamicAllan::gapBefore(std::size_t index) const {
    return recordedGap_[slot(index)] != 0 ||
           isGap(timeMs_[slot(index)] - timeMs_[slot(index - 1)], tau0Ms_);
}

void DynamicAllan::enter(std::size_t index, bool first) {
    const bool split = first || gapBefore(index);
    double u = values_[slot(index)];
    if (phase_) {
        u = split ? kNone : u - values_[slot(index - 1)];
    } else if (std::isfinite(u)) {
        u -= reference_;
    }
    series_[slot(index)] = u;
    if (!std::isfinite(u)) {
        run_ = 0;
    } else {
        run_ = split ? 1 : run_ + 1;
        ++windowValues_;
        if (!phase_) {
            offsets_.add(u);
        }
    }
    const auto run = static_cast<std::int64_t>(run_);
    const std::size_t at = slot(index);
    for (Factor& factor : factors_) {
        const std::int64_t m = factor.m;
        const std::size_t position = factor.next;
        factor.next = position + 1 == factor.sums.size() ? 0 : position + 1;
        double& sum = factor.sums[position];
        if (run < m) {
            sum = kNone;
        } else if (run == m) {
            // A run long enough for this factor: its first m-sum, once per run.
            factor.running = CompensatedSum();
            for (std::size_t j = 0; j < static_cast<std::size_t>(m); ++j) {
                factor.running.add(series_[back(at, j)]);
            }
            sum = factor.running.value();
        } else {
            factor.running.add(u);
            factor.running.add(-series_[back(at, static_cast<std::size_t>(m))]);
            sum = factor.running.value();
        }
        double& term = factor.terms[at];
        term = kNone;
        if (run >= 2 * m) {
            // The m-sum m values back sits where the next one will go.
            const double difference = sum - factor.sums[factor.next];
            term = difference * difference;
            factor.total.add(term);
            ++factor.termCount;
        }
    }
}

void DynamicAllan::leave(std::size_t index) {
    const std::size_t newest = readings_ - 1;
    if (index + 1 <= newest) {
        if (const double interval = timeMs_[slot(index + 1)] - timeMs_[slot(index)]; interval > 0) {
            intervals_.remove(interval);
        }
    }
    // The window's first phase reading has no step of its own: its series starts one later.
    const std::size_t start = phase_ ? index + 1 : index;
    if (start > newest) {
        return;
    }
    if (const double u = series_[slot(start)]; std::isfinite(u)) {
        --windowValues_;
        if (!phase_) {
            offsets_.add(-u);
        }
    }
    const std::size_t startAt = slot(start);
    for (Factor& factor : factors_) {
        const std::size_t span = 2 * static_cast<std::size_t>(factor.m) - 1;
        const double term = factor.terms[ahead(startAt, span)];
        if (start + span <= newest && std::isfinite(term)) {
            factor.total.add(-term);
            --factor.termCount;
        }
    }
}

void DynamicAllan::rebuild() {
    run_ = 0;
    offsets_ = CompensatedSum();
    windowValues_ = 0;
    const std::size_t first = readings_ - std::min(readings_, window_);
    for (Factor& factor : factors_) {
        factor.total = CompensatedSum();
        factor.termCount = 0;
        factor.next = first % factor.sums.size();
    }
    for (std::size_t index = first; index < readings_; ++index) {
        enter(index, index == first);
    }
}

void DynamicAllan::emitColumn() {
    const std::size_t first = readings_ - window_;
    DynamicColumn column;
    column.points.reserve(factors_.size());
    column.timeMs = (timeMs_[slot(first)] + timeMs_[slot(readings_ - 1)]) / 2;
    const double tau0 = tau0Ms_ / 1000.0;
    if (tau0 > 0 && windowValues_ > 0) {
        const double count = static_cast<double>(windowValues_);
        const double scale = phase_ ? 1.0 / tau0 : 1.0 / (reference_ + offsets_.value() / count);
        const std::int64_t largest = largestAveragingFactor(windowValues_);
        for (const Factor& factor : factors_) {
            if (factor.m > largest || factor.termCount == 0) {
                continue;
            }
            const double md = static_cast<double>(factor.m);
            const double n = static_cast<double>(factor.termCount);
            const double value =
                std::sqrt(std::max(0.0, factor.total.value()) / (2 * md * md * n)) * scale;
            if (std::isfinite(value)) {
                column.points.push_back({md * tau0, factor.termCount, value});
            }
        }
    }
    columns_.push_back(std::move(column));
}

} // namespace analysis
