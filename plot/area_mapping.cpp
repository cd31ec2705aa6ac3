// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/area_mapping.h"

#include <algorithm>
#include <limits>

namespace plot {

namespace {

bool validAxisNumber(int axis) {
    return axis >= 1 && axis <= 4;
}

} // namespace

int areaMapX(const EngineState& e, double x) {
    return axisPixelX(e.area().axisRecord[kAxisX], x);
}

int areaMapY(const EngineState& e, int axis, double y) {
    if (!validAxisNumber(axis)) {
        return -32768;
    }
    return axisPixelY(e.area().axisRecord[axis], y);
}

double pixelToWorldX(const EngineState& e, int px) {
    px = std::clamp(px, 0, std::max(e.pictureWidth, 0));
    return axisWorldX(e.area().axisRecord[kAxisX], px);
}

double pixelToWorldY(const EngineState& e, int py, int axis) {
    py = std::clamp(py, 0, std::max(e.pictureHeight, 0));
    if (validAxisNumber(axis)) {
        return axisWorldY(e.area().axisRecord[axis], py);
    }
    if (axis != 0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return pixelToWorldY(e.currentMapping, py);
}

} // namespace plot
