// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/live_stability.h"

#include "analysis/source_reader.h"
#include "analysis/stability_engine.h"
#include "analysis/tau_grid.h"
#include "analysis/timed_walk.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace analysis {

namespace {

// Points of its past a factor started early takes in with each reading; 4 per reading over the
// 2m readings before it is due cover the 4m points it needs.
constexpr std::size_t kCatchUpPoints = 4;
// Readings that come at once, and more of them than were taken before, are taken by forming the
// sums anew: that walks the readings once and runs on several threads, where taking them one by
// one walks them once per lag.
constexpr std::size_t kManyReadings = 4096;
// The lags of a factor m: the points x[k], x[k-m], x[k-2m] and x[k-3m] its sums take.
constexpr std::size_t kLags = 4;

} // namespace

void LiveStability::add(double timeMs, double value, Quantity quantity, bool gapBefore) {
    own_.add(timeMs, value, quantity, gapBefore);
    follow(own_);
}

void LiveStability::follow(const ReadingSource& readings) {
    const std::size_t end = readings.size();
    if (end <= taken_) {
        return;
    }
    SourceReader reader(readings, ignored_);
    if (end - taken_ >= kManyReadings && end - taken_ > taken_) {
        takeAll(reader, end);
        return;
    }
    while (taken_ < end) {
        take(reader);
    }
}

// What reading taken_ tells of the series; true when it has a finite time stamp, with its
// usable value and time, and whether a recorded gap precedes it.
bool LiveStability::note(SourceReader& reader, TakenReading& taken) {
    const ReadingSource& source = reader.source();
    const std::size_t reading = taken_++;
    for (; gapsSeen_ < source.gapCount() && source.gapBefore(gapsSeen_) <= reading; ++gapsSeen_) {
        gapPending_ = true;
    }
    const double timeMs = reader.timeMs(reading);
    if (!std::isfinite(timeMs)) {
        ignored_.push_back(reading);
        return false;
    }
    const bool hasPrevious = analysed_ > 0;
    const Quantity quantity = reader.quantity(reading);
    if (!hasPrevious) {
        phase_ = quantity == Quantity::Phase;
    }
    taken = {reading,
             timeMs,
             usableValue(reader.value(reading), quantity, phase_),
             std::exchange(gapPending_, false) && hasPrevious,
             hasPrevious,
             lastMs_,
             lastValue_};
    lastMs_ = timeMs;
    lastValue_ = taken.value;
    ++analysed_;
    if (hasPrevious && timeMs - taken.previousMs > 0) {
        intervals_.add(timeMs - taken.previousMs);
    }
    return true;
}

void LiveStability::take(SourceReader& reader) {
    TakenReading taken;
    if (!note(reader, taken)) {
        return;
    }
    bool gap = false;
    if (taken.hasPrevious) {
        const double tau0 = intervals_.lowerMedian();
        if (tau0 != tau0Ms_) {
            const bool judgedOtherwise =
                isGap(longestSteadyMs_, tau0) || !isGap(shortestGapMs_, tau0);
            tau0Ms_ = tau0;
            if (judgedOtherwise) {
                rebuild(reader);
                return;
            }
        }
        gap = gapPrecedes(taken.timeMs - taken.previousMs, taken.recorded);
    }
    addToSeries(seriesValue(taken, gap), gap, taken.reading, taken.previousValue);
    startDueFactors();
    const std::int64_t due = largestAveragingFactor(values_);
    for (std::size_t f = 0; f < accumulators_.size(); ++f) {
        const std::size_t end = accumulators_[f].m() <= due
                                    ? points_
                                    : std::min(points_, walks_[f].next + kCatchUpPoints);
        while (walks_[f].next < end) {
            takePoint(f, reader);
        }
    }
}

void LiveStability::takeAll(SourceReader& reader, std::size_t end) {
    TakenReading taken;
    while (taken_ < end) {
        note(reader, taken);
    }
    tau0Ms_ = intervals_.lowerMedian();
    rebuild(reader);
}

// The steps exactly as phaseSteps forms them, so both analyses see the same numbers.
double LiveStability::seriesValue(const TakenReading& taken, bool gapBefore) const {
    if (!phase_) {
        return taken.value;
    }
    return taken.hasPrevious ? phaseStep(taken.previousValue, taken.value, gapBefore)
                             : std::numeric_limits<double>::quiet_NaN();
}

// A recorded gap is one whatever tau0, so only the intervals judged by tau0 go into the extremes
// that tell when a new tau0 judges otherwise.
bool LiveStability::gapPrecedes(double intervalMs, bool recorded) {
    if (recorded) {
        return true;
    }
    const bool gap = isGap(intervalMs, tau0Ms_);
    if (gap) {
        shortestGapMs_ = std::min(shortestGapMs_, intervalMs);
    } else {
        longestSteadyMs_ = std::max(longestSteadyMs_, intervalMs);
    }
    return gap;
}

// As PhaseSeries::add, keeping where the segments start instead of the phase.
void LiveStability::addToSeries(double value, bool gapBefore, std::size_t reading,
                                double valueBefore) {
    if (gapBefore || !std::isfinite(value)) {
        segmentOpen_ = false;
    }
    if (!std::isfinite(value)) {
        return;
    }
    if (values_ == 0) {
        first_ = value;
    }
    ++values_;
    if (!segmentOpen_) {
        segments_.push_back({points_, reading, valueBefore});
        ++points_;
        segmentOpen_ = true;
    }
    ++points_;
}

void LiveStability::startDueFactors() {
    for (;;) {
        const std::int64_t last = accumulators_.empty() ? 0 : accumulators_.back().m();
        const std::int64_t next = std::min(nextOnGrid(TauSpacing::Octave, last),
                                           nextOnGrid(TauSpacing::OneTwoFive, last));
        if (2 * next > values_) {
            return;
        }
        accumulators_.emplace_back(next);
        walks_.emplace_back();
    }
}

// The next point of factor f's walk: its lags move on by one point (or start at the segment's
// first), and the sums take the point once all its lags exist.
void LiveStability::takePoint(std::size_t f, SourceReader& reader) {
    Walk& walk = walks_[f];
    TauAccumulator& accumulator = accumulators_[f];
    while (walk.segment + 1 < segments_.size() &&
           segments_[walk.segment + 1].firstPoint <= walk.next) {
        ++walk.segment;
        walk.local = 0;
        accumulator.startSegment();
    }
    const Segment& segment = segments_[walk.segment];
    const auto m = static_cast<std::size_t>(accumulator.m());
    const std::size_t k = walk.local;
    for (std::size_t j = 0; j < kLags && j * m <= k; ++j) {
        walk.lags[j] = k == j * m ? Cursor{0, segment.firstReading, segment.valueBefore}
                                  : step(walk.lags[j], reader);
    }
    if (k >= 2 * m) {
        accumulator.takePoint(k, walk.lags[0].x, walk.lags[1].x, walk.lags[2].x,
                              k >= 3 * m ? walk.lags[3].x : 0);
    }
    ++walk.local;
    ++walk.next;
}

// The next phase point of a segment, from its reading, exactly as PhaseSeries::add forms it.
LiveStability::Cursor LiveStability::step(Cursor cursor, SourceReader& reader) const {
    // Whether the reading after this one is taken is known only once it has come.
    const std::size_t reading = reader.takenFrom(cursor.nextReading);
    const double value = reader.usable(reading, phase_);
    const double offset = (phase_ ? phaseStep(cursor.value, value, false) : value) - first_;
    return {cursor.x + offset, reading + 1, value};
}

template <typename Visit> void LiveStability::walkSeries(SourceReader& reader, Visit visit) const {
    bool first = true;
    double previousMs = 0;
    double previousValue = 0;
    forEachTimed(reader.source(), 0, taken_,
                 [&](std::size_t reading, double timeMs, double value, bool recorded) {
                     const double intervalMs = timeMs - previousMs;
                     const bool judged = !first && !recorded;
                     const bool gap = !first && (recorded || isGap(intervalMs, tau0Ms_));
                     const double seriesValue = !phase_ ? value
                                                : first ? std::numeric_limits<double>::quiet_NaN()
                                                        : phaseStep(previousValue, value, gap);
                     visit(reading, seriesValue, gap, previousValue, judged, intervalMs);
                     first = false;
                     previousMs = timeMs;
                     previousValue = value;
                 });
}

PhaseSeries LiveStability::phaseSeries(SourceReader& reader) const {
    PhaseSeries series;
    series.reserve(points_);
    walkSeries(reader, [&series](std::size_t, double value, bool gap, double, bool, double) {
        series.add(value, gap);
    });
    return series;
}

void LiveStability::rebuild(SourceReader& reader) {
    values_ = 0;
    first_ = 0;
    segmentOpen_ = false;
    points_ = 0;
    segments_.clear();
    longestSteadyMs_ = -std::numeric_limits<double>::infinity();
    shortestGapMs_ = std::numeric_limits<double>::infinity();
    PhaseSeries series;
    series.reserve(analysed_ + analysed_ / 64 + 16);
    walkSeries(reader, [&](std::size_t reading, double value, bool gap, double valueBefore,
                           bool judged, double intervalMs) {
        if (judged) {
            gapPrecedes(intervalMs, false);
        }
        series.add(value, gap);
        addToSeries(value, gap, reading, valueBefore);
    });
    startDueFactors();
    for (TauAccumulator& accumulator : accumulators_) {
        accumulator = TauAccumulator(accumulator.m());
    }
    advanceAll(accumulators_, series);
    // Every walk stands after the last point, its lags on the points behind it.
    const std::span<const double> phase = series.phase();
    for (std::size_t f = 0; f < walks_.size(); ++f) {
        Walk walk;
        walk.next = points_;
        if (!segments_.empty()) {
            const Segment& segment = segments_.back();
            walk.segment = segments_.size() - 1;
            walk.local = points_ - segment.firstPoint;
            const auto m = static_cast<std::size_t>(accumulators_[f].m());
            for (std::size_t j = 0; j < kLags && j * m < walk.local; ++j) {
                const std::size_t local = walk.local - 1 - j * m;
                walk.lags[j] = {
                    phase[segment.firstPoint + local], reader.after(segment.firstReading, local),
                    local == 0
                        ? segment.valueBefore
                        : reader.usable(reader.after(segment.firstReading, local - 1), phase_)};
            }
        }
        walks_[f] = walk;
    }
}

StabilityResult LiveStability::result(const StabilityOptions& options,
                                      const AnalysisControl& control) const {
    return result(own_, options, control);
}

StabilityResult LiveStability::result(const ReadingSource& readings,
                                      const StabilityOptions& options,
                                      const AnalysisControl& control) const {
    if (options.removeDrift) {
        return analyzeTimedValues(timedValues(readings, 0, taken_), options, control);
    }
    SourceReader reader(readings, ignored_);
    const PhaseSeries series = phaseSeries(reader);
    StabilityResult result;
    result.values = series.values();
    result.segments = static_cast<std::int64_t>(series.segmentStarts().size());
    result.nominalHz = phase_ ? 0 : chosenNominal(options.nominalHz, series.mean());
    if (!(tau0Ms_ > 0) || result.values == 0) {
        return result;
    }
    result.tau0 = tau0Ms_ / 1000.0;
    const double scale = phase_ ? 1.0 / result.tau0 : 1.0 / result.nominalHz;
    result.points = reportedPoints(series, accumulators_, result.tau0, scale, options, control,
                                   result.cancelled);
    return result;
}

void LiveStability::reset() {
    *this = LiveStability();
}

std::size_t LiveStability::memoryBytes() const {
    return ignored_.capacity() * sizeof(std::size_t) + segments_.capacity() * sizeof(Segment) +
           intervals_.memoryBytes() + walks_.capacity() * sizeof(Walk) + runningSumBytes();
}

std::size_t LiveStability::runningSumBytes() const {
    return accumulators_.capacity() * sizeof(TauAccumulator);
}

} // namespace analysis
