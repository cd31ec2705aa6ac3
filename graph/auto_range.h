#pragma once

#include "graph/extremes.h"

#include <span>

struct TAxisRange {
    double Lower = -1.0;
    double Upper = 1.0;
};

// The automatic range of one axis: the span of the values widened by Margin of its width on
// each side; a single value v != 0 gives v -+ Margin * |v|; no values or only zeros give -1 .. 1.
TAxisRange AutoRange(const TExtremes& Values, double Margin);
TAxisRange AutoRange(std::span<const double> Values, double Margin);
