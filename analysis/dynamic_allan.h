// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/compensated_sum.h"
#include "analysis/reading.h"
#include "analysis/sliding_median.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace analysis {

// The overlapping Allan deviation at one averaging time of one window.
struct DynamicPoint {
    double tau = 0;         // s, m tau0 with the window's own tau0
    std::int64_t terms = 0; // at least 1
    double value = 0;       // fractional
};

// One window position: the overlapping ADEV at the octave factors analyzeReadings reports for
// the window's readings alone.
struct DynamicColumn {
    double timeMs = 0; // the middle of the window: halfway between its first and last stamp
    std::vector<DynamicPoint> points;
};

// Stability over time: the overlapping Allan deviation in a window of `window` readings that
// moves on by `step` readings, a column each time it has moved, from the first full window on.
// Each column equals analyzeReadings (Allan, octave factors) over that window's readings: tau0
// is the window's own median interval, the gaps it implies split the window, a frequency
// window is divided by its own mean, phase readings by their first differences as there. The
// series kind (phase or frequency) is the run's, set by its first reading.
//
// add() costs the same for the millionth reading as for the first: per averaging factor m the
// window keeps the running sum of the squared differences of consecutive m-sums, adds the term
// that enters and subtracts the one that leaves, in compensated sums, so the digits survive
// terms that come and go for ever. The one exception is a new window tau0 that judges an
// interval still in the window differently (gap or not): the window's sums are then formed
// anew from its readings.
//
// Memory: per factor one number per reading of the window (its terms) and m + 1 m-sums, plus
// three numbers per reading of the window and the columns.
class DynamicAllan {
public:
    // window is at least 2 readings, step at least 1.
    DynamicAllan(std::size_t window, std::size_t step);

    // One reading, as analyzeReadings takes it: a time stamp that is not finite is ignored (a
    // recorded gap before it passes to the next), a value that is not usable leaves a gap, and
    // so does a gap the recording knows of before it, whatever the time stamps tell.
    void add(double timeMs, double value, Quantity quantity = Quantity::Frequency,
             bool gapBefore = false);

    std::size_t window() const { return window_; }
    std::size_t step() const { return step_; }
    std::size_t readings() const { return readings_; }
    const std::vector<DynamicColumn>& columns() const { return columns_; }

private:
    struct Factor {
        std::int64_t m = 0;
        std::vector<double> sums;  // the m-sum ending at each of the last m + 1 values
        std::size_t next = 0;      // where in sums the next value's goes: index % (m + 1)
        std::vector<double> terms; // the term ending at each reading of the window, NaN: none
        CompensatedSum running;    // the m-sum ending at the newest value
        CompensatedSum total;      // of the window's terms
        std::int64_t termCount = 0;
    };

    std::size_t slot(std::size_t index) const { return index % window_; }
    // The slot j readings before or after the one at `at` (j < window): no division per factor.
    std::size_t back(std::size_t at, std::size_t j) const {
        return at >= j ? at - j : at + window_ - j;
    }
    std::size_t ahead(std::size_t at, std::size_t j) const {
        return at + j >= window_ ? at + j - window_ : at + j;
    }
    bool gapBefore(std::size_t index) const;
    // Reading index joins the window as its newest (first: as its only) reading, or leaves it
    // as its oldest.
    void enter(std::size_t index, bool first);
    void leave(std::size_t index);
    void rebuild();
    void emitColumn();

    std::size_t window_;
    std::size_t step_;
    std::size_t readings_ = 0;
    bool phase_ = false;
    bool haveReference_ = false;
    double reference_ = 0;       // the run's first usable frequency, which offsets are taken from
    double tau0Ms_ = 0;          // the window's median interval, which judges its gaps
    std::vector<double> timeMs_; // the window's readings, by slot
    std::vector<double> values_; // usable values, NaN where not
    std::vector<double> series_; // their series values, NaN where none
    std::vector<char> recordedGap_; // a recorded gap comes before the reading, by slot
    bool pendingGap_ = false;       // before a reading that was ignored: passes to the next
    SlidingMedian intervals_;       // the window's positive intervals
    std::size_t run_ = 0;           // series values without a break up to the newest
    CompensatedSum offsets_;        // of the window's frequency offsets
    std::int64_t windowValues_ = 0;
    std::vector<Factor> factors_;
    std::vector<DynamicColumn> columns_;
};

} // namespace analysis
