// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace analysis {

// What a reading's value is: a frequency in Hz, a period in s (taken as the frequency
// 1 / period), or a phase in s (the time error of an event, or a time interval).
enum class Quantity { Frequency, Period, Phase };

// One counter reading: time stamp in ms and its value. A frequency or period that is not a
// finite positive number (0 Hz, a period of 0 s, NaN), or a phase that is not finite, is not
// usable: the reading keeps its place in time but has no value.
struct Reading {
    double timeMs = 0;
    double value = 0;
    Quantity quantity = Quantity::Frequency;
};

} // namespace analysis
