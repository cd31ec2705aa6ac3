#include "plot/zoom_ruler.h"

#include "plot/area_mapping.h"
#include "plot/ruler_drawing.h"

#include <QRect>

namespace {

constexpr int kFirstYAxis = 1;
constexpr int kLastYAxis = 4;

bool Drawn(const TPlotArea& area, int axis) {
    return area.AxisRecord[axis].AxisDefined;
}

// The highest-numbered valid area whose rectangle, edges included, holds the point; 0 for none.
int AreaAt(const EngineState& e, int x, int y) {
    for (int i = e.AreaCount; i >= 1; --i) {
        const TPlotArea& area = e.PlotArea[i];
        const TPixelRect& r = area.AreaRect;
        if (area.AreaValid && x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom) {
            return i;
        }
    }
    return 0;
}

int FirstDrawnYAxis(const TPlotArea& area) {
    for (int axis = kFirstYAxis; axis <= kLastYAxis; ++axis) {
        if (Drawn(area, axis)) {
            return axis;
        }
    }
    return 0;
}

int NextDrawnYAxis(const TPlotArea& area, int axis) {
    for (int step = 1; step <= kLastYAxis; ++step) {
        const int next = (axis - 1 + step) % kLastYAxis + 1;
        if (Drawn(area, next)) {
            return next;
        }
    }
    return axis;
}

int DrawnYAxisCount(const TPlotArea& area) {
    int count = 0;
    for (int axis = kFirstYAxis; axis <= kLastYAxis; ++axis) {
        count += Drawn(area, axis) ? 1 : 0;
    }
    return count;
}

bool StrictlyInsidePlot(const EngineState& e, int x, int y) {
    const TAxisRecord& xAxis = e.Area().AxisRecord[kAxisX];
    const TAxisRecord& yAxis = e.Area().AxisRecord[e.RulerAxis];
    return xAxis.AxisPixelOrigin < x && x < xAxis.AxisPixelOrigin + xAxis.AxisPixelLength &&
           yAxis.AxisPixelOrigin - yAxis.AxisPixelLength < y && y < yAxis.AxisPixelOrigin;
}

void FillMouseInfo(EngineState& e, TMouseInfoSlot slot, int x, int y) {
    TMouseInfo& info = e.MouseInfo[slot];
    info = TMouseInfo{};
    info.Area = e.CurrentArea;
    info.PixelX = x;
    info.PixelY = y;
    info.WorldX = PixelToWorldX(e, x);
    for (int axis = kFirstYAxis; axis <= kLastYAxis; ++axis) {
        if (Drawn(e.Area(), axis)) {
            info.WorldY[axis - 1] = PixelToWorldY(e, y, axis);
        }
    }
}

// Keeps the pointer over the plot rectangle (in screen pixels) while the ruler is held.
void ConfineToPlot(EngineState& e) {
    const TAxisRecord& xAxis = e.Area().AxisRecord[kAxisX];
    const TAxisRecord& yAxis = e.Area().AxisRecord[e.RulerAxis];
    const QPoint offset = e.Owner.ScreenOffset();
    const int left = xAxis.AxisPixelOrigin;
    const int top = yAxis.AxisPixelOrigin - yAxis.AxisPixelLength;
    const int right = xAxis.AxisPixelOrigin + xAxis.AxisPixelLength + 1;
    const int bottom = yAxis.AxisPixelOrigin + 1;
    e.Owner.ConfinePointer(QRect(left, top, right - left, bottom - top).translated(offset));
}

void StartRuler(EngineState& e, int x, int y) {
    e.RulerDragging = true;
    const TPlotArea& area = e.Area();
    e.RulerSnapStepX = e.RulerSnapX ? area.AxisRecord[kAxisX].MinimumStep : 0.0;
    e.RulerSnapStepY =
        e.RulerSnapY && DrawnYAxisCount(area) == 1 ? area.AxisRecord[e.RulerAxis].MinimumStep : 0.0;
    e.Owner.SetScreenCursor(TScreenCursor::Cross);
    ConfineToPlot(e);
    const QPoint p = SnapRulerPoint(e, x, y);
    ShowRuler(e, p.x(), p.y(), true);
}

void StartBand(EngineState& e, int x, int y) {
    e.BandActive = true;
    e.BandStartX = x;
    e.BandStartY = y;
    ShowBand(e, x, y, true);
    e.ZoomAxes.fill(true);
}

void SwitchReadoutAxis(EngineState& e) {
    if (e.RulerDragging) {
        ShowRuler(e, e.RulerX, e.RulerY, false);
        e.RulerAxis = NextDrawnYAxis(e.Area(), e.RulerAxis);
        ShowRuler(e, e.RulerX, e.RulerY, true);
    } else {
        ShowBand(e, e.BandEndX, e.BandEndY, false);
        e.RulerAxis = NextDrawnYAxis(e.Area(), e.RulerAxis);
        ShowBand(e, e.BandEndX, e.BandEndY, true);
    }
}

} // namespace

void SetupRuler(EngineState& e, TColor colour, int textX, int textY, int alignment, int flags) {
    e.RulerTextX = textX;
    e.RulerTextY = textY;
    e.RulerAlignment = alignment;
    e.RulerEnabled = !(textX < 0 && textY < 0);
    e.RulerX = 0;
    e.RulerY = 0;
    e.RulerColour = colour;
    e.RulerMode = flags & 7;
    e.RulerSnapX = (flags & 8) != 0;
    e.RulerSnapY = (flags & 16) != 0;
}

void MouseDown(EngineState& e, TMouseButton button, int shift, int x, int y) {
    if (e.TargetCanvas == nullptr) {
        return;
    }
    const bool busy = e.RulerDragging || e.BandActive;
    if (!busy) {
        const int area = AreaAt(e, x, y);
        if (area == 0) {
            return;
        }
        e.CurrentArea = area;
        e.RulerAxis = FirstDrawnYAxis(e.Area());
        if (e.RulerAxis == 0 || !Drawn(e.Area(), kAxisX)) {
            e.RulerAxis = kFirstYAxis;
            return;
        }
    }
    if (button == mbLeft) {
        // A second left press cannot come before the release; starting again would leave the
        // first drawing behind.
        if (busy) {
            return;
        }
        if ((shift & ssCtrl) == 0) {
            if (!StrictlyInsidePlot(e, x, y)) {
                return;
            }
            StartRuler(e, x, y);
        } else {
            StartBand(e, x, y);
        }
        for (int slot = miPress; slot <= miMove; ++slot) {
            FillMouseInfo(e, static_cast<TMouseInfoSlot>(slot), x, y);
        }
    } else if (button == mbRight && busy && e.RulerEnabled) {
        SwitchReadoutAxis(e);
    }
}

void MouseMove(EngineState& e, int shift, int x, int y) {
    if ((shift & ssLeft) == 0 || e.TargetCanvas == nullptr) {
        return;
    }
    if (e.RulerDragging) {
        const QPoint p = SnapRulerPoint(e, x, y);
        if (p.x() == e.RulerX && p.y() == e.RulerY) {
            return;
        }
        ShowRuler(e, e.RulerX, e.RulerY, false);
        FillMouseInfo(e, miMove, p.x(), p.y());
        ShowRuler(e, p.x(), p.y(), true);
    } else if (e.BandActive) {
        ShowBand(e, e.BandEndX, e.BandEndY, false);
        FillMouseInfo(e, miMove, x, y);
        ShowBand(e, x, y, true);
    }
}

void MouseUp(EngineState& e, TMouseButton button, int shift, int x, int y) {
    if (e.TargetCanvas == nullptr) {
        return;
    }
    if (button == mbLeft) {
        if (e.RulerDragging) {
            ShowRuler(e, e.RulerX, e.RulerY, false);
            e.RulerDragging = false;
            e.RulerX = 0;
            e.RulerY = 0;
            e.Owner.SetScreenCursor(TScreenCursor::Default);
            FillMouseInfo(e, miRelease, x, y);
        } else if (e.BandActive) {
            ShowBand(e, e.BandEndX, e.BandEndY, false);
            e.BandActive = false;
            FillMouseInfo(e, miRelease, x, y);
            if ((shift & ssCtrl) != 0) {
                ApplyZoom(e);
            }
        }
    }
    e.Owner.ReleasePointer();
}
