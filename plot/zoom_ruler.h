#pragma once

#include "plot/colors.h"

// Mouse zoom and measuring ruler on the last drawn picture. The owner forwards its mouse events
// and calls SetupRuler at the end of every repaint; the zoom windows narrowed here are used by the
// axes of the next picture.

enum TMouseButton { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

// Shift state bits: keys and the left button held.
enum TShiftBits { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8 };

// Ruler colour, readout position (both negative: no readout), readout alignment (-1 right,
// 0 centred, 1 left) and flags (bits 0..2 mode, bit 3 snap x, bit 4 snap y).
void SetupRuler(TColor colour, int textX, int textY, int alignment, int flags);

void MouseDown(int button, int shift, int x, int y);
void MouseMove(int shift, int x, int y);
void MouseUp(int button, int shift, int x, int y);

// Narrows the axes of the current area to the zoom rectangle; a click unzooms the area.
void ApplyZoom();
