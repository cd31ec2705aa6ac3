// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/colors.h"

#include <string>

namespace graph {

// One axis of the graph control. The range is either found from the traces or fixed from
// fixedFrom to fixedTo, in the units shown; every value is multiplied by scaleFactor before it is
// ranged and drawn. A logarithmic axis needs a range above zero; it is drawn linear otherwise,
// or where the range spans too small a ratio for decades.
struct AxisSettings {
    std::string caption;
    plot::Color colour = plot::kBlue;
    bool autoRange = true;
    double fixedFrom = -1.0;
    double fixedTo = 1.0;
    double scaleFactor = 1.0;
    bool logarithmic = false;
};

} // namespace graph
