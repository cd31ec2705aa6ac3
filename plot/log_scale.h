// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <span>
#include <string>

namespace plot {

// Density of a logarithmic axis: one of 0, 1, 12, 112, 123, 224. Its hundreds, tens and units
// digits are the rows of the subdivision table used for labels, long ticks and all ticks.
int logFinenessLevel(int pixelLength, double fineness, double ratio, int fontPoints);

// Row 0..4 of the subdivision table: mantissa codes 10..99 standing for 1.0..9.9 in a decade.
std::span<const int> logSubdivisionRow(int row);
bool inLogSubdivisionRow(int row, int mantissaCode);

struct LogTick {
    double value = 0;
    int position = 0; // pixels from the axis start
    bool isLong = false;
    bool labelled = false;
    int exponent = 0; // the tick is Digit x 10^Exponent when Labelled
    int digit = 0;
};

// Walks the decades of a logarithmic axis from its smaller to its larger end. `position` gives a
// value's pixel offset from the axis start (axisMin) towards its end (axisMax); ticks outside
// 0 .. length are skipped. The x axis leaves the mantissas 7 and 9 unlabelled.
void walkLogTicks(double axisMin, double axisMax, int length, int level, bool xAxis,
                  const std::function<int(double)>& position,
                  const std::function<void(const LogTick&)>& visit);

} // namespace plot
