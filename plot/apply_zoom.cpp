// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/unzoom.h"
#include "plot/zoom_ruler.h"

#include <algorithm>
#include <cstdlib>

namespace plot {

namespace {

// The band's fractions f0..f1 of the shown window `from`, kept inside the full range and at least
// minWidth wide. False when the band lies wholly beyond the range.
bool narrow(const FractionWindow& from, double f0, double f1, double minWidth, FractionWindow& to) {
    double low = from.low + (from.high - from.low) * f0;
    double high = from.low + (from.high - from.low) * f1;
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

void repaintOwner(EngineState& e) {
    e.owner.repaintNow();
}

} // namespace

void applyZoom(EngineState& e) {
    if (e.currentArea < 1 || e.currentArea > kMaxPlotAreas) {
        return;
    }
    PlotArea& area = e.area();
    area.minZoomFractionY =
        std::max(area.minZoomFractionY, 1.0 / e.settings.value(Setting::MaxZoomDepth));

    if (std::abs(e.bandStartX - e.bandEndX) <= 1 && std::abs(e.bandStartY - e.bandEndY) <= 1) {
        unzoom(e, e.currentArea);
        repaintOwner(e);
        return;
    }

    const int x0 = std::min(e.bandStartX, e.bandEndX);
    const int x1 = std::max(e.bandStartX, e.bandEndX);
    const int y0 = std::max(e.bandStartY, e.bandEndY);
    const int y1 = std::min(e.bandStartY, e.bandEndY);
    AxisRecord& xAxis = area.axisRecord[kAxisX];
    const AxisRecord& yRef = area.axisRecord[e.rulerAxis];
    if (xAxis.axisPixelLength == 0 || yRef.axisPixelLength == 0) {
        return;
    }
    const double fx0 = static_cast<double>(x0 - xAxis.axisPixelOrigin) / xAxis.axisPixelLength;
    const double fx1 = static_cast<double>(x1 - xAxis.axisPixelOrigin) / xAxis.axisPixelLength;
    const double fy0 = static_cast<double>(yRef.axisPixelOrigin - y0) / yRef.axisPixelLength;
    const double fy1 = static_cast<double>(yRef.axisPixelOrigin - y1) / yRef.axisPixelLength;

    if (e.zoomAxes[kAxisX]) {
        FractionWindow window;
        if (!narrow(xAxis.drawnWindow, fx0, fx1, area.minZoomFractionX, window)) {
            return;
        }
        xAxis.axisZoomWindow = window;
        area.zoomWindow.xLow = window.low;
        area.zoomWindow.xHigh = window.high;
    }
    for (int axis = 1; axis <= 4; ++axis) {
        AxisRecord& yAxis = area.axisRecord[axis];
        if (!yAxis.axisDefined || !e.zoomAxes[axis]) {
            continue;
        }
        FractionWindow window;
        if (!narrow(yAxis.drawnWindow, fy0, fy1, area.minZoomFractionY, window)) {
            return;
        }
        yAxis.axisZoomWindow = window;
    }
    if (e.zoomAxes[kAxisX]) {
        FractionWindow window;
        if (!narrow({area.zoomWindow.yLow, area.zoomWindow.yHigh}, fy0, fy1, area.minZoomFractionY,
                    window)) {
            return;
        }
        area.zoomWindow.yLow = window.low;
        area.zoomWindow.yHigh = window.high;
    } else {
        double low = 0;
        double high = 0;
        int count = 0;
        for (int axis = 1; axis <= 4; ++axis) {
            if (area.axisRecord[axis].axisDefined) {
                low += area.axisRecord[axis].axisZoomWindow.low;
                high += area.axisRecord[axis].axisZoomWindow.high;
                ++count;
            }
        }
        if (count > 0) {
            area.zoomWindow.yLow = low / count;
            area.zoomWindow.yHigh = high / count;
        }
    }
    e.lastZoomedArea = e.currentArea;
    if (e.settings.value(Setting::DisableZoomAutoredraw) == 0) {
        repaintOwner(e);
    }
}

} // namespace plot
