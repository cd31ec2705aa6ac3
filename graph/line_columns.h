#pragma once

#include "graph/column_masks.h"

// Marks the pixels of a one-pixel canvas line from (X0, Y0) to (X1, Y1) without its end pixel,
// the same pixels the canvas draws, a column run at a time: a steep line costs one run per
// column it crosses instead of one step per pixel.
void AddLinePixels(TColumnMasks& Masks, int X0, int Y0, int X1, int Y1);
