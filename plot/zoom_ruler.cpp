// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/zoom_ruler.h"

#include "plot/area_mapping.h"
#include "plot/ruler_drawing.h"

#include <QRect>

namespace plot {

namespace {

constexpr int kFirstYAxis = 1;
constexpr int kLastYAxis = 4;

bool drawn(const PlotArea& area, int axis) {
    return area.axisRecord[axis].axisDefined;
}

// The highest-numbered valid area whose rectangle, edges included, holds the point; 0 for none.
int areaAt(const EngineState& e, int x, int y) {
    for (int i = e.areaCount; i >= 1; --i) {
        const PlotArea& area = e.plotArea[i];
        const PixelRect& r = area.areaRect;
        if (area.areaValid && x >= r.left && x <= r.right && y >= r.top && y <= r.bottom) {
            return i;
        }
    }
    return 0;
}

int firstDrawnYAxis(const PlotArea& area) {
    for (int axis = kFirstYAxis; axis <= kLastYAxis; ++axis) {
        if (drawn(area, axis)) {
            return axis;
        }
    }
    return 0;
}

int nextDrawnYAxis(const PlotArea& area, int axis) {
    for (int step = 1; step <= kLastYAxis; ++step) {
        const int next = (axis - 1 + step) % kLastYAxis + 1;
        if (drawn(area, next)) {
            return next;
        }
    }
    return axis;
}

int drawnYAxisCount(const PlotArea& area) {
    int count = 0;
    for (int axis = kFirstYAxis; axis <= kLastYAxis; ++axis) {
        count += drawn(area, axis) ? 1 : 0;
    }
    return count;
}

bool strictlyInsidePlot(const EngineState& e, int x, int y) {
    const AxisRecord& xAxis = e.area().axisRecord[kAxisX];
    const AxisRecord& yAxis = e.area().axisRecord[e.rulerAxis];
    return xAxis.axisPixelOrigin < x && x < xAxis.axisPixelOrigin + xAxis.axisPixelLength &&
           yAxis.axisPixelOrigin - yAxis.axisPixelLength < y && y < yAxis.axisPixelOrigin;
}

void fillMouseInfo(EngineState& e, MouseInfoSlot slot, int x, int y) {
    MouseInfo& info = e.mouseInfo[slot];
    info = MouseInfo{};
    info.area = e.currentArea;
    info.pixelX = x;
    info.pixelY = y;
    info.worldX = pixelToWorldX(e, x);
    for (int axis = kFirstYAxis; axis <= kLastYAxis; ++axis) {
        if (drawn(e.area(), axis)) {
            info.worldY[axis - 1] = pixelToWorldY(e, y, axis);
        }
    }
}

// Keeps the pointer over the plot rectangle (in screen pixels) while the ruler is held.
void confineToPlot(EngineState& e) {
    const AxisRecord& xAxis = e.area().axisRecord[kAxisX];
    const AxisRecord& yAxis = e.area().axisRecord[e.rulerAxis];
    const QPoint offset = e.owner.screenOffset();
    const int left = xAxis.axisPixelOrigin;
    const int top = yAxis.axisPixelOrigin - yAxis.axisPixelLength;
    const int right = xAxis.axisPixelOrigin + xAxis.axisPixelLength + 1;
    const int bottom = yAxis.axisPixelOrigin + 1;
    e.owner.confinePointer(QRect(left, top, right - left, bottom - top).translated(offset));
}

void startRuler(EngineState& e, int x, int y) {
    e.rulerDragging = true;
    const PlotArea& area = e.area();
    e.rulerSnapStepX = e.rulerSnapX ? area.axisRecord[kAxisX].minimumStep : 0.0;
    e.rulerSnapStepY =
        e.rulerSnapY && drawnYAxisCount(area) == 1 ? area.axisRecord[e.rulerAxis].minimumStep : 0.0;
    e.owner.setScreenCursor(ScreenCursor::Cross);
    confineToPlot(e);
    const QPoint p = snapRulerPoint(e, x, y);
    showRuler(e, p.x(), p.y(), true);
}

void startBand(EngineState& e, int x, int y) {
    e.bandActive = true;
    e.bandStartX = x;
    e.bandStartY = y;
    showBand(e, x, y, true);
    e.zoomAxes.fill(true);
}

void switchReadoutAxis(EngineState& e) {
    if (e.rulerDragging) {
        showRuler(e, e.rulerX, e.rulerY, false);
        e.rulerAxis = nextDrawnYAxis(e.area(), e.rulerAxis);
        showRuler(e, e.rulerX, e.rulerY, true);
    } else {
        showBand(e, e.bandEndX, e.bandEndY, false);
        e.rulerAxis = nextDrawnYAxis(e.area(), e.rulerAxis);
        showBand(e, e.bandEndX, e.bandEndY, true);
    }
}

} // namespace

void setupRuler(EngineState& e, Color colour, int textX, int textY, int alignment, int flags) {
    e.rulerTextX = textX;
    e.rulerTextY = textY;
    e.rulerAlignment = alignment;
    e.rulerEnabled = !(textX < 0 && textY < 0);
    e.rulerX = 0;
    e.rulerY = 0;
    e.rulerColour = colour;
    e.rulerMode = flags & 7;
    e.rulerSnapX = (flags & 8) != 0;
    e.rulerSnapY = (flags & 16) != 0;
}

void mouseDown(EngineState& e, MouseButton button, int shift, int x, int y) {
    if (e.targetCanvas == nullptr) {
        return;
    }
    const bool busy = e.rulerDragging || e.bandActive;
    if (!busy) {
        const int area = areaAt(e, x, y);
        if (area == 0) {
            return;
        }
        e.currentArea = area;
        e.rulerAxis = firstDrawnYAxis(e.area());
        if (e.rulerAxis == 0 || !drawn(e.area(), kAxisX)) {
            e.rulerAxis = kFirstYAxis;
            return;
        }
    }
    if (button == MouseButton::Left) {
        // A second left press cannot come before the release; starting again would leave the
        // first drawing behind.
        if (busy) {
            return;
        }
        if ((shift & kCtrlKey) == 0) {
            if (!strictlyInsidePlot(e, x, y)) {
                return;
            }
            startRuler(e, x, y);
        } else {
            startBand(e, x, y);
        }
        for (int slot = kPressInfo; slot <= kMoveInfo; ++slot) {
            fillMouseInfo(e, static_cast<MouseInfoSlot>(slot), x, y);
        }
    } else if (button == MouseButton::Right && busy && e.rulerEnabled) {
        switchReadoutAxis(e);
    }
}

void mouseMove(EngineState& e, int shift, int x, int y) {
    if ((shift & kLeftButtonHeld) == 0 || e.targetCanvas == nullptr) {
        return;
    }
    if (e.rulerDragging) {
        const QPoint p = snapRulerPoint(e, x, y);
        if (p.x() == e.rulerX && p.y() == e.rulerY) {
            return;
        }
        showRuler(e, e.rulerX, e.rulerY, false);
        fillMouseInfo(e, kMoveInfo, p.x(), p.y());
        showRuler(e, p.x(), p.y(), true);
    } else if (e.bandActive) {
        showBand(e, e.bandEndX, e.bandEndY, false);
        fillMouseInfo(e, kMoveInfo, x, y);
        showBand(e, x, y, true);
    }
}

void mouseUp(EngineState& e, MouseButton button, int shift, int x, int y) {
    if (e.targetCanvas == nullptr) {
        return;
    }
    if (button == MouseButton::Left) {
        if (e.rulerDragging) {
            showRuler(e, e.rulerX, e.rulerY, false);
            e.rulerDragging = false;
            e.rulerX = 0;
            e.rulerY = 0;
            e.owner.setScreenCursor(ScreenCursor::Default);
            fillMouseInfo(e, kReleaseInfo, x, y);
        } else if (e.bandActive) {
            showBand(e, e.bandEndX, e.bandEndY, false);
            e.bandActive = false;
            fillMouseInfo(e, kReleaseInfo, x, y);
            if ((shift & kCtrlKey) != 0) {
                applyZoom(e);
            }
        }
    }
    e.owner.releasePointer();
}

} // namespace plot
