#include "graph/auto_range.h"

#include <cmath>

TAxisRange AutoRange(const TExtremes& Values, double Margin) {
    if (!Values.Any)
        return {};
    const double d = Values.Upper - Values.Lower;
    if (d > 0)
        return {Values.Lower - Margin * d, Values.Upper + Margin * d};
    const double v = Values.Lower;
    if (v != 0)
        return {v - Margin * std::fabs(v), v + Margin * std::fabs(v)};
    return {};
}

TAxisRange AutoRange(std::span<const double> Values, double Margin) {
    TExtremes extremes;
    for (double v : Values)
        extremes.Include(v);
    return AutoRange(extremes, Margin);
}
