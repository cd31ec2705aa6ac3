// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/line_columns.h"

#include <algorithm>
#include <cstdint>

namespace graph {

// The canvas places step i of a line of n steps at minor offset floor((2 i m + n) / (2 n)), m
// being the minor extent: the exact line position rounded, halves toward the end point.
void addLinePixels(ColumnMasks& masks, int x0, int y0, int x1, int y1) {
    const std::int64_t dx = std::int64_t{x1} - x0;
    const std::int64_t dy = std::int64_t{y1} - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    if (adx >= ady) {
        const std::int64_t steps = adx;
        const std::int64_t twiceSteps = 2 * steps;
        std::int64_t offset = 0;
        std::int64_t remainder = steps; // 2 i m + n, less the offsets taken
        for (std::int64_t i = 0; i < steps; ++i) {
            masks.add(static_cast<int>(x0 + sx * i), static_cast<int>(y0 + sy * offset));
            remainder += 2 * ady;
            if (remainder >= twiceSteps) {
                remainder -= twiceSteps;
                ++offset;
            }
        }
        return;
    }
    const std::int64_t steps = ady;
    const std::int64_t last = steps - 1;
    // Column c holds the steps from the first i with offset c to the step before offset c + 1.
    auto firstStep = [&](std::int64_t c) -> std::int64_t {
        if (c == 0)
            return 0;
        const std::int64_t numerator = (2 * c - 1) * steps;
        return (numerator + 2 * adx - 1) / (2 * adx);
    };
    for (std::int64_t c = 0; c <= adx; ++c) {
        const std::int64_t from = firstStep(c);
        const std::int64_t to = std::min(c == adx ? last : firstStep(c + 1) - 1, last);
        if (from > to)
            continue;
        const std::int64_t yFrom = y0 + sy * from;
        const std::int64_t yTo = y0 + sy * to;
        masks.addRun(static_cast<int>(x0 + sx * c), static_cast<int>(std::min(yFrom, yTo)),
                     static_cast<int>(std::max(yFrom, yTo)));
    }
}

} // namespace graph
