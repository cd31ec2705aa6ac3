// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/mapping.h"

#include <algorithm>
#include <cmath>

namespace plot {

namespace {

double recordToWorld(const AxisRecord& r, double t) {
    return r.axisLog ? r.axisMin * std::exp(t * r.axisLogSpan)
                     : r.axisMin + t * (r.axisMax - r.axisMin);
}

} // namespace

int mapX(const Mapping& m, double x) {
    if (m.xLog && !(x > 0)) {
        x = std::min(m.xMin, m.xMax) / 2;
    }
    const double f = m.xLog ? std::log(x / m.xMin) / m.xLogSpan : (x - m.xMin) / (m.xMax - m.xMin);
    return clampToPixel(f * m.mapWidth + m.mapLeft);
}

int mapY(const Mapping& m, double y) {
    if (m.yLog && !(y > 0)) {
        y = m.yMin / 2;
    }
    const double f = m.yLog ? std::log(y / m.yMin) / m.yLogSpan : (y - m.yMin) / (m.yMax - m.yMin);
    return clampToPixel(m.mapBottom - f * m.mapHeight);
}

double pixelToWorldY(const Mapping& m, int py) {
    const double t = static_cast<double>(m.mapBottom - py) / m.mapHeight;
    return m.yLog ? m.yMin * std::exp(t * m.yLogSpan) : m.yMin + t * (m.yMax - m.yMin);
}

int axisPixelX(const AxisRecord& r, double x) {
    return clampToPixel(r.axisPixelOrigin +
                        (x - r.axisMin) / (r.axisMax - r.axisMin) * r.axisPixelLength);
}

int axisPixelY(const AxisRecord& r, double y) {
    return clampToPixel(r.axisPixelOrigin -
                        (y - r.axisMin) / (r.axisMax - r.axisMin) * r.axisPixelLength);
}

double axisWorldX(const AxisRecord& r, int px) {
    return recordToWorld(r, static_cast<double>(px - r.axisPixelOrigin) / r.axisPixelLength);
}

double axisWorldY(const AxisRecord& r, int py) {
    return recordToWorld(r, static_cast<double>(r.axisPixelOrigin - py) / r.axisPixelLength);
}

} // namespace plot
