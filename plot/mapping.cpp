#include "plot/mapping.h"

#include "plot/rounding.h"

#include <algorithm>
#include <cmath>

namespace {

// Far-away points stay finite so that the clipper can cut them; NaN goes far to the left/top.
int ClampToPixel(double p) {
    if (std::isnan(p)) {
        return -32768;
    }
    return RoundHalfEven(std::clamp(p, -32768.0, 32767.0));
}

double RecordToWorld(const TAxisRecord& r, double t) {
    return r.AxisLog ? r.AxisMin * std::exp(t * r.AxisLogSpan)
                     : r.AxisMin + t * (r.AxisMax - r.AxisMin);
}

} // namespace

int MapX(const TMapping& m, double x) {
    if (m.XLog && !(x > 0)) {
        x = std::min(m.XMin, m.XMax) / 2;
    }
    const double f = m.XLog ? std::log(x / m.XMin) / m.XLogSpan : (x - m.XMin) / (m.XMax - m.XMin);
    return ClampToPixel(f * m.MapWidth + m.MapLeft);
}

int MapY(const TMapping& m, double y) {
    if (m.YLog && !(y > 0)) {
        y = m.YMin / 2;
    }
    const double f = m.YLog ? std::log(y / m.YMin) / m.YLogSpan : (y - m.YMin) / (m.YMax - m.YMin);
    return ClampToPixel(m.MapBottom - f * m.MapHeight);
}

double PixelToWorldY(const TMapping& m, int py) {
    const double t = static_cast<double>(m.MapBottom - py) / m.MapHeight;
    return m.YLog ? m.YMin * std::exp(t * m.YLogSpan) : m.YMin + t * (m.YMax - m.YMin);
}

int AxisPixelX(const TAxisRecord& r, double x) {
    return ClampToPixel(r.AxisPixelOrigin +
                        (x - r.AxisMin) / (r.AxisMax - r.AxisMin) * r.AxisPixelLength);
}

int AxisPixelY(const TAxisRecord& r, double y) {
    return ClampToPixel(r.AxisPixelOrigin -
                        (y - r.AxisMin) / (r.AxisMax - r.AxisMin) * r.AxisPixelLength);
}

double AxisWorldX(const TAxisRecord& r, int px) {
    return RecordToWorld(r, static_cast<double>(px - r.AxisPixelOrigin) / r.AxisPixelLength);
}

double AxisWorldY(const TAxisRecord& r, int py) {
    return RecordToWorld(r, static_cast<double>(r.AxisPixelOrigin - py) / r.AxisPixelLength);
}
