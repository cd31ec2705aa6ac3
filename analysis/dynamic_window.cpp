// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/dynamic_window.h"

#include <algorithm>

namespace analysis {

DynamicWindow dynamicWindow(std::size_t readings, std::size_t divisor, std::size_t steps) {
    const std::size_t window =
        std::max(kLeastDynamicWindow, readings / std::max<std::size_t>(1, divisor));
    const std::size_t room = readings > window ? readings - window : 0;
    return {window, std::max<std::size_t>(1, room / std::max<std::size_t>(1, steps))};
}

} // namespace analysis
