#include "plot/axis_common.h"

#include <algorithm>
#include <cmath>

TAxisColours ApplyAxisColour(EngineState& e, TColor colour) {
    TAxisColours result;
    if (colour == kAxisInBackColour) {
        result.Colour = e.BackColour;
    } else {
        result.Visible = ColorToRGB(colour) != ColorToRGB(e.BackColour);
        result.Colour = result.Visible ? colour : e.ForeColour;
    }
    Canvas& c = *e.TargetCanvas;
    c.Pen.Color = result.Colour;
    c.Font.Color = result.Colour;
    c.Brush.Style = TBrushStyle::Clear;
    return result;
}

TAxisRange ShownRange(double start, double end, const TFractionWindow& window, bool logarithmic,
                      double minLogRatio) {
    TAxisRange range;
    if (logarithmic && start > 0 && end > 0) {
        const long double ratio = static_cast<long double>(end) / start;
        range.Min = static_cast<double>(start * std::pow(ratio, window.Low));
        range.Max = static_cast<double>(start * std::pow(ratio, window.High));
        const double shownRatio = std::max(range.Min, range.Max) / std::min(range.Min, range.Max);
        range.Log = shownRatio >= minLogRatio;
        if (range.Log)
            return range;
    }
    range.Reversed = start > end;
    const long double s = range.Reversed ? -static_cast<long double>(start) : start;
    const long double e = range.Reversed ? -static_cast<long double>(end) : end;
    range.Min = static_cast<double>(s + (e - s) * window.Low);
    range.Max = static_cast<double>(s + (e - s) * window.High);
    return range;
}

TCaptionParts SplitCaption(const std::string& caption) {
    const auto bar = caption.find('|');
    if (bar == std::string::npos)
        return {caption, {}};
    return {caption.substr(0, bar), caption.substr(bar + 1)};
}

LabelFormat PrepareLabelFormat(const EngineState& e, bool fixedFormat, bool logarithmic,
                               Setting commonFactorSetting) {
    LabelFormat format;
    format.ExponentLetter = ExponentLetter(e.Settings.value(Setting::SymbolExponent));
    if (!fixedFormat && !logarithmic)
        SetCommonFactor(format, e.Settings.value(commonFactorSetting));
    return format;
}

int LabelDecimals(int stepDecimals, int minimumStepDecimals) {
    return std::min(stepDecimals, minimumStepDecimals);
}

void StoreAxisRecord(EngineState& e, int index, const TDrawnAxis& drawn) {
    TAxisRecord& r = e.Area().AxisRecord[static_cast<std::size_t>(index)];
    r.AxisDefined = true;
    r.AxisLog = drawn.Log;
    r.AxisColour = drawn.Colour;
    r.AxisMin = drawn.Min;
    r.AxisMax = drawn.Max;
    r.AxisLogSpan = drawn.LogSpan;
    r.AxisPixelOrigin = drawn.PixelOrigin;
    r.AxisPixelLength = drawn.PixelLength;
    r.UnitsPerPixel = drawn.UnitsPerPixel;
    r.MinimumStep = drawn.MinimumStep;
    r.LabelDecimals = drawn.LabelDecimals;
    r.MinimumStepDecimals = drawn.MinimumStepDecimals;
    r.DrawnWindow = drawn.DrawnWindow;
}

TFractionWindow WidenedWindow(double start, double end, double min, double max) {
    const long double span = static_cast<long double>(end) - start;
    return {static_cast<double>((min - start) / span), static_cast<double>((max - start) / span)};
}
