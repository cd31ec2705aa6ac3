// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace analysis {

// One counter reading: time stamp in ms and a frequency in Hz, or a period in s taken as the
// frequency 1 / period. A value that is not a finite positive number (0 Hz, a period of 0 s,
// NaN) is not usable: the reading keeps its place in time but has no value.
struct Reading {
    double timeMs = 0;
    double value = 0;
    bool isPeriod = false;
};

} // namespace analysis
