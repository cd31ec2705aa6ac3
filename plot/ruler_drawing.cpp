#include "plot/ruler_drawing.h"

#include "plot/area_mapping.h"
#include "plot/readout_numbers.h"

#include <algorithm>
#include <string>

namespace {

std::string AxisValueText(const EngineState& e, const TAxisRecord& axis, double value) {
    if (axis.AxisLog) {
        return FormatSignificant(axis.LabelDecimals, value,
                                 e.Settings.value(Setting::SymbolExponent) > 0);
    }
    return FormatFixed(RoundToStep(value, axis.MinimumStep),
                       std::min(axis.LabelDecimals, axis.MinimumStepDecimals));
}

// Lines drawn in this colour with the XOR pen show in the ruler colour over the background.
TColor RulerXorColour(const EngineState& e) {
    return ColorToRGB(e.BackColour) ^ ColorToRGB(e.RulerColour);
}

void SetXorPen(Canvas& c, const EngineState& e) {
    c.Pen.Mode = TPenMode::Xor;
    c.Pen.Width = 1;
    c.Pen.Style = TPenStyle::Solid;
    c.Pen.Color = RulerXorColour(e);
}

} // namespace

QPoint SnapRulerPoint(const EngineState& e, int x, int y) {
    if (e.RulerSnapStepX > 0) {
        x = AreaMapX(e, RoundToStep(PixelToWorldX(e, x), e.RulerSnapStepX));
    }
    if (e.RulerSnapStepY > 0) {
        y = AreaMapY(e, e.RulerAxis,
                     RoundToStep(PixelToWorldY(e, y, e.RulerAxis), e.RulerSnapStepY));
    }
    return {x, y};
}

void ShowRuler(EngineState& e, int x, int y, bool draw) {
    e.RulerX = x;
    e.RulerY = y;
    if (e.TargetCanvas == nullptr) {
        return;
    }
    Canvas& c = *e.TargetCanvas;
    SetXorPen(c, e);
    c.Brush.Style = TBrushStyle::Clear;
    const TAxisRecord& xAxis = e.Area().AxisRecord[kAxisX];
    const TAxisRecord& yAxis = e.Area().AxisRecord[e.RulerAxis];
    x = std::clamp(x, xAxis.AxisPixelOrigin, xAxis.AxisPixelOrigin + xAxis.AxisPixelLength);
    y = std::clamp(y, yAxis.AxisPixelOrigin - yAxis.AxisPixelLength, yAxis.AxisPixelOrigin);
    // The ruler mode in use draws no cross-hair lines: the cross cursor marks the point.
    c.Pen.Mode = TPenMode::Copy;
    if (e.RulerEnabled) {
        RulerReadout(e, x, y, draw);
    }
}

void ShowBand(EngineState& e, int x, int y, bool draw) {
    if (e.TargetCanvas == nullptr) {
        return;
    }
    Canvas& c = *e.TargetCanvas;
    SetXorPen(c, e);
    c.MoveTo(e.BandStartX, e.BandStartY);
    c.LineTo(x, e.BandStartY);
    c.LineTo(x, y);
    c.LineTo(e.BandStartX, y);
    c.LineTo(e.BandStartX, e.BandStartY);
    c.Pen.Mode = TPenMode::Copy;
    c.Pen.Style = TPenStyle::Solid;
    if (e.RulerEnabled) {
        RulerReadout(e, x, y, draw);
    }
    e.BandEndX = x;
    e.BandEndY = y;
}

void RulerReadout(EngineState& e, int px, int py, bool draw) {
    if (e.TargetCanvas == nullptr) {
        return;
    }
    Canvas& c = *e.TargetCanvas;
    const TAxisRecord& xAxis = e.Area().AxisRecord[kAxisX];
    const TAxisRecord& yAxis = e.Area().AxisRecord[e.RulerAxis];
    const std::string xText = AxisValueText(e, xAxis, PixelToWorldX(e, px));
    const std::string yText = AxisValueText(e, yAxis, PixelToWorldY(e, py, e.RulerAxis));
    const std::string head = xText + " / ";

    int offset = 0;
    if (e.RulerAlignment < 0) {
        offset = c.TextWidth(head + yText);
    } else if (e.RulerAlignment == 0) {
        // Keeps the separator in place however long the y text grows.
        offset = c.TextWidth(head + xText) / 2;
    }
    const int left = e.RulerTextX - offset;

    const TColor fontColour = c.Font.Color;
    c.Brush.Style = TBrushStyle::Clear;
    // Removal writes the very same pieces in the back colour, so no pixel of them is left.
    c.Font.Color = draw ? xAxis.AxisColour : e.BackColour;
    c.TextOut(left, e.RulerTextY, head);
    const int yLeft = c.PenPos().x();
    c.Font.Color = draw ? yAxis.AxisColour : e.BackColour;
    c.TextOut(yLeft, e.RulerTextY, yText);
    c.Font.Color = fontColour;
}
