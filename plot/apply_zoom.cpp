#include "plot/unzoom.h"
#include "plot/zoom_ruler.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The band's fractions f0..f1 of the shown window `from`, kept inside the full range and at least
// minWidth wide. False when the band lies wholly beyond the range.
bool Narrow(const TFractionWindow& from, double f0, double f1, double minWidth,
            TFractionWindow& to) {
    double low = from.Low + (from.High - from.Low) * f0;
    double high = from.Low + (from.High - from.Low) * f1;
    if (high < 0 || low > 1) {
        return false;
    }
    low = std::max(low, 0.0);
    high = std::min(high, 1.0);
    if (high - low < minWidth) {
        low = (high + low) / 2 - minWidth / 2;
        high = low + minWidth;
    }
    to = {low, high};
    return true;
}

void RepaintOwner(EngineState& e) {
    e.Owner.RepaintNow();
}

} // namespace

void ApplyZoom(EngineState& e) {
    if (e.CurrentArea < 1 || e.CurrentArea > kMaxPlotAreas) {
        return;
    }
    TPlotArea& area = e.Area();
    area.MinZoomFractionY =
        std::max(area.MinZoomFractionY, 1.0 / e.Settings.value(Setting::MaxZoomDepth));

    if (std::abs(e.BandStartX - e.BandEndX) <= 1 && std::abs(e.BandStartY - e.BandEndY) <= 1) {
        Unzoom(e, e.CurrentArea);
        RepaintOwner(e);
        return;
    }

    const int x0 = std::min(e.BandStartX, e.BandEndX);
    const int x1 = std::max(e.BandStartX, e.BandEndX);
    const int y0 = std::max(e.BandStartY, e.BandEndY);
    const int y1 = std::min(e.BandStartY, e.BandEndY);
    TAxisRecord& xAxis = area.AxisRecord[kAxisX];
    const TAxisRecord& yRef = area.AxisRecord[e.RulerAxis];
    if (xAxis.AxisPixelLength == 0 || yRef.AxisPixelLength == 0) {
        return;
    }
    const double fx0 = static_cast<double>(x0 - xAxis.AxisPixelOrigin) / xAxis.AxisPixelLength;
    const double fx1 = static_cast<double>(x1 - xAxis.AxisPixelOrigin) / xAxis.AxisPixelLength;
    const double fy0 = static_cast<double>(yRef.AxisPixelOrigin - y0) / yRef.AxisPixelLength;
    const double fy1 = static_cast<double>(yRef.AxisPixelOrigin - y1) / yRef.AxisPixelLength;

    if (e.ZoomAxes[kAxisX]) {
        TFractionWindow window;
        if (!Narrow(xAxis.DrawnWindow, fx0, fx1, area.MinZoomFractionX, window)) {
            return;
        }
        xAxis.AxisZoomWindow = window;
        area.ZoomWindow.XLow = window.Low;
        area.ZoomWindow.XHigh = window.High;
    }
    for (int axis = 1; axis <= 4; ++axis) {
        TAxisRecord& yAxis = area.AxisRecord[axis];
        if (!yAxis.AxisDefined || !e.ZoomAxes[axis]) {
            continue;
        }
        TFractionWindow window;
        if (!Narrow(yAxis.DrawnWindow, fy0, fy1, area.MinZoomFractionY, window)) {
            return;
        }
        yAxis.AxisZoomWindow = window;
    }
    if (e.ZoomAxes[kAxisX]) {
        TFractionWindow window;
        if (!Narrow({area.ZoomWindow.YLow, area.ZoomWindow.YHigh}, fy0, fy1, area.MinZoomFractionY,
                    window)) {
            return;
        }
        area.ZoomWindow.YLow = window.Low;
        area.ZoomWindow.YHigh = window.High;
    } else {
        double low = 0;
        double high = 0;
        int count = 0;
        for (int axis = 1; axis <= 4; ++axis) {
            if (area.AxisRecord[axis].AxisDefined) {
                low += area.AxisRecord[axis].AxisZoomWindow.Low;
                high += area.AxisRecord[axis].AxisZoomWindow.High;
                ++count;
            }
        }
        if (count > 0) {
            area.ZoomWindow.YLow = low / count;
            area.ZoomWindow.YHigh = high / count;
        }
    }
    e.LastZoomedArea = e.CurrentArea;
    if (e.Settings.value(Setting::DisableZoomAutoredraw) == 0) {
        RepaintOwner(e);
    }
}
