// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace analysis {

// What a reading's value is: a frequency in Hz, a period in s (taken as the frequency
// 1 / period), or a phase in s (the time error of an event, or a time interval).
enum class Quantity { Frequency, Period, Phase };

// One counter reading: time stamp in ms and its value. A frequency or period that is not a
// finite positive number (0 Hz, a period of 0 s, NaN), or a phase that is not finite, is not
// usable: the reading keeps its place in time but has no value.
//
// gapBefore: the recording knows of a gap between this reading and the one before (a reconnect,
// telegrams the line lost), so the series is split here even where the time stamps would not
// tell it. On a reading that is ignored (a time stamp that is not finite) it passes to the next.
struct Reading {
    double timeMs = 0;
    double value = 0;
    Quantity quantity = Quantity::Frequency;
    bool gapBefore = false;
};

} // namespace analysis
