#include "graph/extremes.h"

#include <cmath>

void TExtremes::Include(double v) {
    if (!std::isfinite(v))
        return;
    if (!Any) {
        Any = true;
        Lower = v;
        Upper = v;
        return;
    }
    if (v < Lower)
        Lower = v;
    if (v > Upper)
        Upper = v;
}

void TExtremes::Include(const TExtremes& other) {
    if (!other.Any)
        return;
    Include(other.Lower);
    Include(other.Upper);
}

TExtremes TExtremes::Scaled(double Factor) const {
    TExtremes result;
    if (Any) {
        result.Include(Lower * Factor);
        result.Include(Upper * Factor);
    }
    return result;
}
