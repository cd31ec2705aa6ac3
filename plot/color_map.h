// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/colors.h"

namespace plot {

// A perceptual colour scale from dark violet over blue and green to yellow: lightness rises
// evenly along it, so equal steps of the value look like equal steps, it reads in grey, and its
// ends stand apart from a light as from a dark background. t from 0 to 1 (clamped; NaN is 0).
Color colorMapColor(double t);

} // namespace plot
