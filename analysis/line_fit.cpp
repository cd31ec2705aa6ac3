// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/line_fit.h"

#include <cstddef>

namespace analysis {

LineFit fitLine(std::span<const double> x, std::span<const double> y) {
    return fitLine([&](auto visit) {
        for (std::size_t i = 0; i < y.size(); ++i) {
            visit(x[i], y[i]);
        }
    });
}

} // namespace analysis
