#pragma once

#include "plot/colors.h"

#include <string>

// Scale, draw and map one axis of the current plot area: axis line, ticks, labels, caption and
// grid, and the world range that MoveTo and DrawTo use afterwards. Colour -255 draws the axis in
// the back colour; an axis coloured like the background draws only its grid. `Options` holds the
// extend mode in its two low bits (0 keep the ends, 1 widen to a minor, 2 to a major tick).
void DrawXAxis(TColor colour, const std::string& caption, int axisSide, double axisStart,
               double axisEnd, double minimumStep, double resolution, bool gridOn, bool logarithmic,
               bool fixedFormat, int options);
void DrawYAxis(TColor colour, const std::string& caption, int axisSide, double axisStart,
               double axisEnd, double minimumStep, double resolution, bool gridOn, bool logarithmic,
               bool fixedFormat, int options);
