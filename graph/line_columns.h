// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/column_masks.h"

namespace graph {

// Marks the pixels of a one-pixel canvas line from (x0, y0) to (x1, y1) without its end pixel,
// the same pixels the canvas draws, a column run at a time: a steep line costs one run per
// column it crosses instead of one step per pixel.
void addLinePixels(ColumnMasks& masks, int x0, int y0, int x1, int y1);

} // namespace graph
