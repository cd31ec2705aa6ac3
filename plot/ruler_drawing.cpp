// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/ruler_drawing.h"

#include "plot/area_mapping.h"
#include "plot/readout_numbers.h"

#include <algorithm>
#include <string>

namespace plot {

namespace {

std::string axisValueText(const EngineState& e, const AxisRecord& axis, double value) {
    if (axis.axisLog) {
        return formatSignificant(axis.labelDecimals, value,
                                 e.settings.value(Setting::SymbolExponent) > 0);
    }
    return formatFixed(roundToStep(value, axis.minimumStep),
                       std::min(axis.labelDecimals, axis.minimumStepDecimals));
}

// Lines drawn in this colour with the XOR pen show in the ruler colour over the background.
Color rulerXorColour(const EngineState& e) {
    return colorToRgb(e.backColour) ^ colorToRgb(e.rulerColour);
}

void setXorPen(Canvas& c, const EngineState& e) {
    c.pen.mode = PenMode::Xor;
    c.pen.width = 1;
    c.pen.style = PenStyle::Solid;
    c.pen.color = rulerXorColour(e);
}

} // namespace

QPoint snapRulerPoint(const EngineState& e, int x, int y) {
    if (e.rulerSnapStepX > 0) {
        x = areaMapX(e, roundToStep(pixelToWorldX(e, x), e.rulerSnapStepX));
    }
    if (e.rulerSnapStepY > 0) {
        y = areaMapY(e, e.rulerAxis,
                     roundToStep(pixelToWorldY(e, y, e.rulerAxis), e.rulerSnapStepY));
    }
    return {x, y};
}

void showRuler(EngineState& e, int x, int y, bool draw) {
    e.rulerX = x;
    e.rulerY = y;
    if (e.targetCanvas == nullptr) {
        return;
    }
    Canvas& c = *e.targetCanvas;
    setXorPen(c, e);
    c.brush.style = BrushStyle::Clear;
    const AxisRecord& xAxis = e.area().axisRecord[kAxisX];
    const AxisRecord& yAxis = e.area().axisRecord[e.rulerAxis];
    x = std::clamp(x, xAxis.axisPixelOrigin, xAxis.axisPixelOrigin + xAxis.axisPixelLength);
    y = std::clamp(y, yAxis.axisPixelOrigin - yAxis.axisPixelLength, yAxis.axisPixelOrigin);
    // The ruler mode in use draws no cross-hair lines: the cross cursor marks the point.
    c.pen.mode = PenMode::Copy;
    if (e.rulerEnabled) {
        rulerReadout(e, x, y, draw);
    }
}

void showBand(EngineState& e, int x, int y, bool draw) {
    if (e.targetCanvas == nullptr) {
        return;
    }
    Canvas& c = *e.targetCanvas;
    setXorPen(c, e);
    c.moveTo(e.bandStartX, e.bandStartY);
    c.lineTo(x, e.bandStartY);
    c.lineTo(x, y);
    c.lineTo(e.bandStartX, y);
    c.lineTo(e.bandStartX, e.bandStartY);
    c.pen.mode = PenMode::Copy;
    c.pen.style = PenStyle::Solid;
    if (e.rulerEnabled) {
        rulerReadout(e, x, y, draw);
    }
    e.bandEndX = x;
    e.bandEndY = y;
}

void rulerReadout(EngineState& e, int px, int py, bool draw) {
    if (e.targetCanvas == nullptr) {
        return;
    }
    Canvas& c = *e.targetCanvas;
    const AxisRecord& xAxis = e.area().axisRecord[kAxisX];
    const AxisRecord& yAxis = e.area().axisRecord[e.rulerAxis];
    const std::string xText = axisValueText(e, xAxis, pixelToWorldX(e, px));
    const std::string yText = axisValueText(e, yAxis, pixelToWorldY(e, py, e.rulerAxis));
    const std::string head = xText + " / ";

    int offset = 0;
    if (e.rulerAlignment < 0) {
        offset = c.textWidth(head + yText);
    } else if (e.rulerAlignment == 0) {
        // Keeps the separator in place however long the y text grows.
        offset = c.textWidth(head + xText) / 2;
    }
    const int left = e.rulerTextX - offset;

    const Color fontColour = c.font.color;
    c.brush.style = BrushStyle::Clear;
    // Removal writes the very same pieces in the back colour, so no pixel of them is left.
    c.font.color = draw ? xAxis.axisColour : e.backColour;
    c.textOut(left, e.rulerTextY, head);
    const int yLeft = c.penPos().x();
    c.font.color = draw ? yAxis.axisColour : e.backColour;
    c.textOut(yLeft, e.rulerTextY, yText);
    c.font.color = fontColour;
}

} // namespace plot
