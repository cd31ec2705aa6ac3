// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/engine_state.h"

#include <string>

namespace plot {

enum class HorizontalAlign { Left, Centre, Right };
enum class VerticalAlign { Top, Bottom, Centred };

// Draws an axis text at an anchor point in the canvas's font colour, transparent background.
// A text whose anchor lies outside the picture is not drawn; returns whether it was. A non-zero
// angle (degrees, counter-clockwise) draws the text rotated about its anchor instead of aligned.
bool drawAxisText(EngineState& e, int x, int y, const std::string& text, HorizontalAlign horizontal,
                  VerticalAlign vertical, int angle = 0);

} // namespace plot
