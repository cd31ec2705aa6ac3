// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/engine.h"

#include "plot/primitives.h"
#include "plot/rounding.h"

#include <algorithm>

namespace plot {

namespace {

void resetInteraction(EngineState& e) {
    e.owner.setScreenCursor(ScreenCursor::Default);
    e.rulerEnabled = false;
    e.rulerMode = 0;
    e.rulerSnapX = e.rulerSnapY = false;
    e.rulerSnapStepX = e.rulerSnapStepY = 0.0;
    e.rulerDragging = false;
    e.bandActive = false;
}

} // namespace

void startGraph(EngineState& e, Color backColour, Color frameColour, double scale) {
    // A drag on the last picture ends here; its drawing goes with a clean repaint.
    if (e.rulerDragging) {
        e.owner.invalidate();
    }
    e.targetCanvas = &e.owner.engineCanvas();
    e.pictureWidth = e.owner.engineWidth();
    e.pictureHeight = e.owner.engineHeight();
    resetInteraction(e);

    Canvas& c = *e.targetCanvas;
    e.backColour = e.defaultBackColour = backColour;
    c.brush.color = backColour;
    c.brush.style = BrushStyle::Solid;
    e.foreColour = e.defaultForeColour = frameColour;
    c.pen.color = frameColour;
    c.pen.style = PenStyle::Solid;
    c.pen.width = 1;
    c.pen.mode = PenMode::Copy;

    c.rectangle(0, 0, e.pictureWidth, e.pictureHeight);

    e.fontScale = scale == 0.0 ? 1.0 : scale;
    c.font.size = roundHalfEven(8 * e.fontScale);
    c.font.name = "Arial";
    c.font.italic = false;
    c.font.bold = false;
    e.charWidth = c.textWidth("0");
    e.charHeight = c.textHeight("0");
    e.majorTickLength = e.charWidth + 1;
    e.minorTickLength = (e.charWidth + 1) / 2 + 1;

    for (int i = 1; i <= kMaxPlotAreas; ++i) {
        e.plotArea[i].areaValid = false;
        e.plotArea[i].gridPattern = {4, 7, 4, 7};
    }

    e.areaCount = 0;
    e.currentArea = 0;
    e.axesReady = false;
    e.symbolQueue.clear();
    e.pendingDot = PendingDot{};
    e.enginePhase = 1;

    e.picturePixelMode = true;
    c.pen.color = e.foreColour;

    e.settings.expire(SettingEvent::NextPicture);
}

void setPlotArea(EngineState& e, const plot::PlotAreaLayout& layout) {
    if (e.targetCanvas == nullptr) {
        return;
    }
    if (e.areaCount >= kMaxPlotAreas) {
        e.area().areaValid = false;
        return;
    }
    finishGraph(e);
    e.areaCount += 1;
    e.currentArea = e.areaCount;
    PlotArea& area = e.area();

    int leftPercent = layout.leftPercent;
    int rightPercent = layout.rightPercent;
    int topPercent = layout.topPercent;
    int bottomPercent = layout.bottomPercent;
    if (rightPercent < leftPercent) {
        std::swap(leftPercent, rightPercent);
    }
    area.areaRect.left = roundHalfEven(std::max(leftPercent, 0) / 100.0 * e.pictureWidth);
    area.areaRect.right = roundHalfEven(std::min(rightPercent, 100) / 100.0 * e.pictureWidth);
    if (bottomPercent < topPercent) {
        std::swap(topPercent, bottomPercent);
    }
    area.areaRect.top = roundHalfEven(std::max(topPercent, 0) / 100.0 * e.pictureHeight);
    area.areaRect.bottom = roundHalfEven(std::min(bottomPercent, 100) / 100.0 * e.pictureHeight);

    const int left = area.areaRect.left + layout.leftPixels;
    const int right = area.areaRect.right - layout.rightPixels;
    const int top = area.areaRect.top + layout.topPixels;
    const int bottom = area.areaRect.bottom - layout.bottomPixels;

    Mapping& m = e.currentMapping;
    m.mapLeft = left;
    m.mapWidth = right - left;
    m.mapBottom = bottom;
    m.mapHeight = bottom - top;
    area.areaValid = m.mapWidth >= 1 && m.mapHeight >= 1;

    const ZoomWindow& z = area.zoomWindow;
    const bool unzoomed = z.xLow <= 0 && z.xHigh >= 1 && z.yLow <= 0 && z.yHigh >= 1;
    e.skipClip = layout.clip && unzoomed;
    area.skipClip = e.skipClip;

    e.axesReady = false;
    for (AxisRecord& axis : area.axisRecord) {
        axis.axisDefined = false;
    }
    area.axisRecord[kAxisX].axisPixelOrigin = m.mapLeft;
    area.axisRecord[kAxisX].axisPixelLength = m.mapWidth;
    // The first y axis drawn in the area sets the least y zoom fraction again.
    area.minZoomFractionX = 0.0;
    area.minZoomFractionY = 0.0;
    area.drawnYAxisCount = 0;

    Canvas& c = *e.targetCanvas;
    setLineWidth(e, 1);
    c.pen.style = PenStyle::Solid;
    c.brush.color = e.backColour;
    c.brush.style = BrushStyle::Solid;

    e.foreColour = e.defaultForeColour;
    e.backColour = e.defaultBackColour;
    c.pen.mode = PenMode::Copy;

    e.enginePhase = 2;
    e.picturePixelMode = true;

    e.settings.expire(SettingEvent::PlotArea);
}

void finishGraph(EngineState& e) {
    if (e.targetCanvas == nullptr) {
        return;
    }
    if (e.pendingDot.active) {
        e.targetCanvas->setPixel(e.pendingDot.x, e.pendingDot.y, e.pendingDot.colour);
        e.pendingDot.active = false;
    }
    drawSymbolQueue(e);
}

void setLineWidth(EngineState& e, int n) {
    if (n > 0 && e.targetCanvas != nullptr) {
        e.targetCanvas->pen.width = n;
    }
}

void setPenColour(EngineState& e, Color colour) {
    if (e.targetCanvas != nullptr) {
        e.targetCanvas->pen.color = colour;
    }
}

} // namespace plot
