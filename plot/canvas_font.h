// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"

#include <QFont>

namespace plot {

// The toolkit font a canvas font stands for, and its whole pixels above the baseline: raster and
// vector pictures set their text alike.
QFont qtFontOf(const Font& font);
int fontAscent(const QFont& font);

} // namespace plot
