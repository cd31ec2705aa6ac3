// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace analysis {

// The window and step of a dynamic Allan deviation, in readings.
struct DynamicWindow {
    std::size_t window = 0;
    std::size_t step = 0;
};

// The least window worth a column: four octaves of tau.
inline constexpr std::size_t kLeastDynamicWindow = 32;

// For a run of `readings`: a window of 1/divisor of it (at least kLeastDynamicWindow), moved on
// by a step that puts `steps` steps between the first and the last window (at least 1).
DynamicWindow dynamicWindow(std::size_t readings, std::size_t divisor, std::size_t steps);

} // namespace analysis
