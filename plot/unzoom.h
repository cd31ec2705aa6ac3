// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/engine_state.h"

namespace plot {

// Back to the full ranges: area 0 means every area 1..8. Draws nothing; the caller repaints.
void unzoom(EngineState& e, int area);

} // namespace plot
