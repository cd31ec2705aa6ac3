#pragma once

#include <array>

// Mouse input as the engine's zoom and ruler take it.

enum TMouseButton { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

// Shift state bits: keys and the left button held.
enum TShiftBits { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8 };

// Where the last press, release, reference and move happened, in pixels and world values.
struct TMouseInfo {
    int EngineCounter = 0;
    int Area = 0;
    int PixelX = 0;
    int PixelY = 0;
    double WorldX = 0.0;
    std::array<double, 4> WorldY{}; // Y1..Y4, 0 for an axis not drawn in the area
    std::array<int, 2> DataIndex{};
};

enum TMouseInfoSlot { miPress = 0, miRelease = 1, miReference = 2, miMove = 3 };
