#include "plot/mapping.h"

#include "plot/engine_state.h"
#include "plot/rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Far-away points stay finite so that the clipper can cut them; NaN goes far to the left/top.
int ClampToPixel(double p) {
    if (std::isnan(p)) {
        return -32768;
    }
    return RoundHalfEven(std::clamp(p, -32768.0, 32767.0));
}

bool ValidAxisNumber(int axis) {
    return axis >= 1 && axis <= 4;
}

double RecordToWorld(const TAxisRecord& r, double t) {
    return r.AxisLog ? r.AxisMin * std::exp(t * r.AxisLogSpan)
                     : r.AxisMin + t * (r.AxisMax - r.AxisMin);
}

} // namespace

int MapX(double x) {
    const TMapping& m = Engine().CurrentMapping;
    if (m.XLog && !(x > 0)) {
        x = std::min(m.XMin, m.XMax) / 2;
    }
    const double f = m.XLog ? std::log(x / m.XMin) / m.XLogSpan : (x - m.XMin) / (m.XMax - m.XMin);
    return ClampToPixel(f * m.MapWidth + m.MapLeft);
}

int MapY(double y) {
    const TMapping& m = Engine().CurrentMapping;
    if (m.YLog && !(y > 0)) {
        y = m.YMin / 2;
    }
    const double f = m.YLog ? std::log(y / m.YMin) / m.YLogSpan : (y - m.YMin) / (m.YMax - m.YMin);
    return ClampToPixel(m.MapBottom - f * m.MapHeight);
}

int AreaMapX(double x) {
    const TAxisRecord& r = Engine().Area().AxisRecord[kAxisX];
    return ClampToPixel(r.AxisPixelOrigin +
                        (x - r.AxisMin) / (r.AxisMax - r.AxisMin) * r.AxisPixelLength);
}

int AreaMapY(int axis, double y) {
    if (!ValidAxisNumber(axis)) {
        return -32768;
    }
    const TAxisRecord& r = Engine().Area().AxisRecord[axis];
    return ClampToPixel(r.AxisPixelOrigin -
                        (y - r.AxisMin) / (r.AxisMax - r.AxisMin) * r.AxisPixelLength);
}

double PixelToWorldX(int px) {
    const EngineState& e = Engine();
    px = std::clamp(px, 0, std::max(e.PictureWidth, 0));
    const TAxisRecord& r = e.Area().AxisRecord[kAxisX];
    const double t = static_cast<double>(px - r.AxisPixelOrigin) / r.AxisPixelLength;
    return RecordToWorld(r, t);
}

double PixelToWorldY(int py, int axis) {
    const EngineState& e = Engine();
    py = std::clamp(py, 0, std::max(e.PictureHeight, 0));
    if (ValidAxisNumber(axis)) {
        const TAxisRecord& r = e.Area().AxisRecord[axis];
        const double t = static_cast<double>(r.AxisPixelOrigin - py) / r.AxisPixelLength;
        return RecordToWorld(r, t);
    }
    if (axis != 0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const TMapping& m = e.CurrentMapping;
    const double t = static_cast<double>(m.MapBottom - py) / m.MapHeight;
    return m.YLog ? m.YMin * std::exp(t * m.YLogSpan) : m.YMin + t * (m.YMax - m.YMin);
}
