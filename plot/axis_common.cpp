// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/axis_common.h"

#include <algorithm>
#include <cmath>

namespace plot {

AxisColours applyAxisColour(EngineState& e, Color colour) {
    AxisColours result;
    if (colour == kAxisInBackColour) {
        result.colour = e.backColour;
    } else {
        result.visible = colorToRgb(colour) != colorToRgb(e.backColour);
        result.colour = result.visible ? colour : e.foreColour;
    }
    Canvas& c = *e.targetCanvas;
    c.pen.color = result.colour;
    c.font.color = result.colour;
    c.brush.style = BrushStyle::Clear;
    return result;
}

AxisRange shownRange(double start, double end, const FractionWindow& window, bool logarithmic,
                     double minLogRatio) {
    AxisRange range;
    if (logarithmic && start > 0 && end > 0) {
        const long double ratio = static_cast<long double>(end) / start;
        range.min = static_cast<double>(start * std::pow(ratio, window.low));
        range.max = static_cast<double>(start * std::pow(ratio, window.high));
        const double shownRatio = std::max(range.min, range.max) / std::min(range.min, range.max);
        range.log = shownRatio >= minLogRatio;
        if (range.log)
            return range;
    }
    range.reversed = start > end;
    const long double s = range.reversed ? -static_cast<long double>(start) : start;
    const long double e = range.reversed ? -static_cast<long double>(end) : end;
    range.min = static_cast<double>(s + (e - s) * window.low);
    range.max = static_cast<double>(s + (e - s) * window.high);
    return range;
}

CaptionParts splitCaption(const std::string& caption) {
    const auto bar = caption.find('|');
    if (bar == std::string::npos)
        return {caption, {}};
    return {caption.substr(0, bar), caption.substr(bar + 1)};
}

LabelFormat prepareLabelFormat(const EngineState& e, bool fixedFormat, bool logarithmic,
                               Setting commonFactorSetting) {
    LabelFormat format;
    format.exponentLetter = exponentLetter(e.settings.value(Setting::SymbolExponent));
    if (!fixedFormat && !logarithmic)
        setCommonFactor(format, e.settings.value(commonFactorSetting));
    return format;
}

int labelDecimals(int stepDecimals, int minimumStepDecimals) {
    return std::min(stepDecimals, minimumStepDecimals);
}

void storeAxisRecord(EngineState& e, int index, const DrawnAxis& drawn) {
    AxisRecord& r = e.area().axisRecord[static_cast<std::size_t>(index)];
    r.axisDefined = true;
    r.axisLog = drawn.log;
    r.axisColour = drawn.colour;
    r.axisMin = drawn.min;
    r.axisMax = drawn.max;
    r.axisLogSpan = drawn.logSpan;
    r.axisPixelOrigin = drawn.pixelOrigin;
    r.axisPixelLength = drawn.pixelLength;
    r.unitsPerPixel = drawn.unitsPerPixel;
    r.minimumStep = drawn.minimumStep;
    r.labelDecimals = drawn.labelDecimals;
    r.minimumStepDecimals = drawn.minimumStepDecimals;
    r.drawnWindow = drawn.drawnWindow;
}

FractionWindow widenedWindow(double start, double end, double min, double max) {
    const long double span = static_cast<long double>(end) - start;
    return {static_cast<double>((min - start) / span), static_cast<double>((max - start) / span)};
}

} // namespace plot
