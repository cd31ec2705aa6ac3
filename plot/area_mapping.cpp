#include "plot/area_mapping.h"

#include <algorithm>
#include <limits>

namespace {

bool ValidAxisNumber(int axis) {
    return axis >= 1 && axis <= 4;
}

} // namespace

int AreaMapX(const EngineState& e, double x) {
    return AxisPixelX(e.Area().AxisRecord[kAxisX], x);
}

int AreaMapY(const EngineState& e, int axis, double y) {
    if (!ValidAxisNumber(axis)) {
        return -32768;
    }
    return AxisPixelY(e.Area().AxisRecord[axis], y);
}

double PixelToWorldX(const EngineState& e, int px) {
    px = std::clamp(px, 0, std::max(e.PictureWidth, 0));
    return AxisWorldX(e.Area().AxisRecord[kAxisX], px);
}

double PixelToWorldY(const EngineState& e, int py, int axis) {
    py = std::clamp(py, 0, std::max(e.PictureHeight, 0));
    if (ValidAxisNumber(axis)) {
        return AxisWorldY(e.Area().AxisRecord[axis], py);
    }
    if (axis != 0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return PixelToWorldY(e.CurrentMapping, py);
}
