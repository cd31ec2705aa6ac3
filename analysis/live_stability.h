// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/phase_series.h"
#include "analysis/reading_series.h"
#include "analysis/reading_source.h"
#include "analysis/running_median.h"
#include "analysis/source_reader.h"
#include "analysis/stability.h"
#include "analysis/tau_accumulator.h"
#include "analysis/timed_values.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace analysis {

// Stability of a growing series, for a page that shows it while readings arrive. Its results
// are those of analyzeReadings over the readings taken so far, to the last bit.
//
// It reads the readings where they are kept, a ReadingSource (the window's store), and keeps
// nothing per reading: follow() takes the readings the source has gained, and result() reads them
// again. add() keeps the readings itself, for a caller without a store.
//
// Taking a reading costs time proportional to the number of averaging factors, not of readings:
// each factor of both spacings keeps running sums, fed one phase point at a time. The phase is
// not kept either: each factor walks the readings behind the newest at its lags, m, 2m and 3m
// phase points back, forming the phase there from the readings as the whole series would, to the
// same bits. A factor is started once the series is twice as long as the factor and catches up on
// the past a few points per reading, so it is complete when it is due at a quarter of the series.
// When many readings come at once, or a new reading moves tau0 so far that an earlier interval
// would be judged differently (gap or not), the sums are formed anew from the phase of all the
// readings, on several threads, and that phase is dropped again.
//
// result() forms the phase of the readings for the noise identification and the kinds formed
// from the stored phase, which takes time and memory (8 bytes a reading) in proportion to the
// readings while it runs; with removeDrift it analyses the readings from scratch.
//
// Memory kept: the running sums and the walks of each factor (a few hundred bytes), the distinct
// intervals between readings, and an entry per segment and per reading without a time stamp.
//
// Not for use from several threads at once; a copy may be read on another thread, with a snapshot
// of the source that holds at least the readings it has taken.
class LiveStability {
public:
    // One reading of its own, as in analyzeReadings: a value that is not usable leaves a gap, a
    // time stamp that is not finite is ignored, the first reading says whether the series is
    // phase, and gapBefore splits the series before it (Reading::gapBefore).
    void add(double timeMs, double value, Quantity quantity = Quantity::Frequency,
             bool gapBefore = false);
    // Takes the readings `readings` holds beyond those taken so far; it holds the readings taken
    // before, and nothing was added.
    void follow(const ReadingSource& readings);
    // All points for the options, equal to analyzeReadings over the readings taken so far (its
    // own, or those of `readings`, which holds them). The kinds that are not accumulated (the total
    // family, Theo, MTIE, TIE rms) are formed from the phase each time, at their full cost;
    // control follows and stops that.
    StabilityResult result(const StabilityOptions& options,
                           const AnalysisControl& control = {}) const;
    StabilityResult result(const ReadingSource& readings, const StabilityOptions& options,
                           const AnalysisControl& control = {}) const;
    // Forgets every reading and frees the memory.
    void reset();

    // Readings taken, with and without a finite time stamp.
    std::size_t taken() const { return taken_; }
    // Memory held, all of it and that of the running sums alone.
    std::size_t memoryBytes() const;
    std::size_t runningSumBytes() const;

private:
    // A gap-free run of the series: its first phase point (x = 0) in the whole series, the reading
    // that gives its next point, and (phase readings) the value of the reading before that one.
    struct Segment {
        std::size_t firstPoint;
        std::size_t firstReading;
        double valueBefore;
    };
    // A point of the phase, formed from the readings: x at a segment's local point, where the
    // reading that gives the next point is found (the first reading from there on that is
    // taken) and, for phase readings, the value of this point's reading.
    struct Cursor {
        double x = 0;
        std::size_t nextReading = 0;
        double value = 0;
    };
    // Where a factor's sums have got to: the next point to take (in the whole series, in its
    // segment, and the segment), and the points m, 2m and 3m before the last one taken.
    struct Walk {
        std::size_t next = 0;
        std::size_t segment = 0;
        std::size_t local = 0;
        std::array<Cursor, 4> lags;
    };

    // A reading with a finite time stamp, as note() finds it.
    struct TakenReading {
        std::size_t reading = 0;
        double timeMs = 0;
        double value = 0; // usable
        bool recorded = false;
        bool hasPrevious = false;
        double previousMs = 0;
        double previousValue = 0;
    };

    // What reading taken_ tells of the readings (intervals, gaps, ignored readings); false for
    // one without a finite time stamp.
    bool note(SourceReader& reader, TakenReading& taken);
    void take(SourceReader& reader);
    // The readings up to `end` at once: what each tells, then the sums anew.
    void takeAll(SourceReader& reader, std::size_t end);
    double seriesValue(const TakenReading& taken, bool gapBefore) const;
    // Whether a gap precedes an interval of the series; notes the interval's judgement in the
    // extremes.
    bool gapPrecedes(double intervalMs, bool recorded);
    void addToSeries(double value, bool gapBefore, std::size_t reading, double valueBefore);
    void startDueFactors();
    void takePoint(std::size_t factor, SourceReader& reader);
    Cursor step(Cursor cursor, SourceReader& reader) const;
    // The series of the readings taken, judged by tau0Ms_: visit(reading, series value, gap,
    // value of the reading before, whether the interval was judged, interval) for each.
    template <typename Visit> void walkSeries(SourceReader& reader, Visit visit) const;
    PhaseSeries phaseSeries(SourceReader& reader) const;
    // The series, the sums and the walks anew from the phase of all readings taken.
    void rebuild(SourceReader& reader);

    ReadingSeries own_; // the readings add() takes

    std::size_t taken_ = 0;            // readings of the source taken
    std::size_t gapsSeen_ = 0;         // its recorded gaps looked at
    std::size_t analysed_ = 0;         // readings with a finite time stamp
    std::vector<std::size_t> ignored_; // readings without
    bool gapPending_ = false;
    bool phase_ = false;
    double lastMs_ = 0;
    double lastValue_ = 0; // usable value of the last reading with a time stamp
    RunningMedian intervals_;
    double tau0Ms_ = 0;
    // The extremes of the intervals judged without and with a gap under tau0Ms_: as long as a new
    // tau0 judges these two the same, it judges every interval the same.
    double longestSteadyMs_ = -std::numeric_limits<double>::infinity();
    double shortestGapMs_ = std::numeric_limits<double>::infinity();

    // The series as PhaseSeries would hold it, without its phase.
    std::int64_t values_ = 0;
    double first_ = 0;
    bool segmentOpen_ = false;
    std::size_t points_ = 0;
    std::vector<Segment> segments_;

    std::vector<TauAccumulator> accumulators_; // every factor of both spacings started, ascending
    std::vector<Walk> walks_;                  // one per accumulator
};

} // namespace analysis
