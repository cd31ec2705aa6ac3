// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

namespace plot {

// Mouse input as the engine's zoom and ruler take it.

enum class MouseButton { Left = 0, Right = 1, Middle = 2 };

// Shift state bits: keys and the left button held.
enum ShiftBits { kShiftKey = 1, kAltKey = 2, kCtrlKey = 4, kLeftButtonHeld = 8 };

// Where the last press, release, reference and move happened, in pixels and world values.
struct MouseInfo {
    int engineCounter = 0;
    int area = 0;
    int pixelX = 0;
    int pixelY = 0;
    double worldX = 0.0;
    std::array<double, 4> worldY{}; // Y1..Y4, 0 for an axis not drawn in the area
    std::array<int, 2> dataIndex{};
};

enum MouseInfoSlot { kPressInfo = 0, kReleaseInfo = 1, kReferenceInfo = 2, kMoveInfo = 3 };

} // namespace plot
