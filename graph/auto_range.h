// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/extremes.h"

#include <span>

namespace graph {

struct AxisRange {
    double lower = -1.0;
    double upper = 1.0;
};

// The automatic range of one axis: the span of the values widened by margin of its width on
// each side; a single value v != 0 gives v -+ margin * |v|; no values or only zeros give -1 .. 1.
AxisRange autoRange(const Extremes& values, double margin);
AxisRange autoRange(std::span<const double> values, double margin);

} // namespace graph
