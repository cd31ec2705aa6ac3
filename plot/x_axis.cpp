#include "plot/axes.h"

#include "plot/axis_common.h"
#include "plot/axis_text.h"
#include "plot/engine.h"
#include "plot/grid_lines.h"
#include "plot/log_scale.h"
#include "plot/mapping.h"
#include "plot/tick_steps.h"
#include "plot/tick_walk.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Draws the ticks, labels and grid lines of the x axis on the baseline, ticks and labels
// pointing in `direction`.
struct TXTickPainter {
    TAxisColours Colours;
    int Baseline = 0;
    int Direction = 1;
    bool GridOn = false;
    int Angle = 0;
    bool LabelPlaced = false;

    void Major(int p, const std::string& label) {
        EngineState& e = Engine();
        Canvas& c = *e.TargetCanvas;
        if (Colours.Visible) {
            const int end = Baseline + e.MajorTickLength * Direction;
            if (e.MajorTickLength > 0) {
                c.MoveTo(p, Baseline);
                c.LineTo(p, end);
            }
            const auto vertical = Direction > 0 ? TVerticalAlign::Top : TVerticalAlign::Bottom;
            if (!label.empty() &&
                DrawAxisText(p, end, label, THorizontalAlign::Centre, vertical, Angle))
                LabelPlaced = true;
        }
        if (GridOn)
            GridLineX(p, false, Colours.Colour);
    }

    void Minor(int q) {
        EngineState& e = Engine();
        Canvas& c = *e.TargetCanvas;
        if (Colours.Visible && e.MinorTickLength > 0) {
            c.MoveTo(q, Baseline);
            c.LineTo(q, Baseline + e.MinorTickLength * Direction);
        }
        if (GridOn)
            GridLineX(q, true, Colours.Colour);
    }
};

int XPosition(double v) {
    return MapX(v) - Engine().CurrentMapping.MapLeft;
}

} // namespace

void DrawXAxis(TColor colour, const std::string& caption, int axisSide, double axisStart,
               double axisEnd, double minimumStep, double resolution, bool gridOn, bool logarithmic,
               bool fixedFormat, int options) {
    EngineState& e = Engine();
    if (e.TargetCanvas == nullptr)
        return;
    FinishGraph();
    e.PicturePixelMode = false;
    const bool accepted = axisStart != axisEnd && e.Area().AreaValid && std::abs(axisSide) <= 4;
    if (!accepted || e.EnginePhase > 3)
        return;
    e.EnginePhase = 3;
    const int side = axisSide == 0 ? 1 : std::abs(axisSide);
    logarithmic = logarithmic && axisStart > 0 && axisEnd > 0;

    Canvas& c = *e.TargetCanvas;
    TMapping& m = e.CurrentMapping;
    TPlotArea& area = e.Area();
    TXTickPainter painter;
    painter.Colours = ApplyAxisColour(colour);
    painter.Baseline = side <= 2 ? m.MapBottom : m.MapBottom - m.MapHeight;
    painter.Direction = side == 1 || side == 3 ? 1 : -1;
    painter.GridOn = gridOn;
    const TCaptionParts parts = SplitCaption(caption);
    const int extendMode = logarithmic ? 0 : (options & 3);
    const TickLengthPair ticks = TickLengths(e.CharWidth, e.Settings.value(Setting::MajorTicSizeX),
                                             e.Settings.value(Setting::MinorTicSizeX));
    e.MajorTickLength = ticks.Major;
    e.MinorTickLength = ticks.Minor;
    const double leastZoomFraction = 1.0 / e.Settings.value(Setting::MaxZoomDepth);
    painter.Angle = e.Settings.rounded(Setting::AngleTextX);

    if (painter.Colours.Visible) {
        c.MoveTo(m.MapLeft, painter.Baseline);
        c.LineTo(m.MapLeft + m.MapWidth + 1, painter.Baseline);
    }

    const TFractionWindow zoom = area.AxisRecord[kAxisX].AxisZoomWindow;
    const TAxisRange range = ShownRange(axisStart, axisEnd, zoom, logarithmic);
    m.XMin = range.Min;
    m.XMax = range.Max;
    m.XLog = range.Log;
    TFractionWindow drawnWindow = zoom;

    if (!range.Log) {
        const LabelFormat format =
            PrepareLabelFormat(fixedFormat, false, Setting::FormatSciLabelsX);
        area.MinZoomFractionX =
            std::max(resolution / std::fabs(axisEnd - axisStart), leastZoomFraction);
        double low = m.XMin, high = m.XMax, step = minimumStep;
        const int suffixWidth = parts.UnitSuffix.empty() ? 0 : c.TextWidth(parts.UnitSuffix);
        const int pitch = LabelPitch(
            e.CharWidth,
            e.Settings.value(fixedFormat ? Setting::LabelDistXFloat : Setting::LabelDistXExp),
            suffixWidth);
        const TickSteps steps = ChooseTickSteps(low, high, step, m.MapWidth, pitch, extendMode);
        const bool widened = low != m.XMin || high != m.XMax;
        m.XMin = low;
        m.XMax = high;
        e.UnitsPerPixelX = (m.XMax - m.XMin) / m.MapWidth;
        e.MinimumStepX = step;
        e.MinimumStepDecimalsX = DecimalsFor(step);
        e.LabelDecimalsX = LabelDecimals(steps.Decimals, e.MinimumStepDecimalsX);
        m.XLogSpan = 1.0;

        LinearLabelStyle style;
        style.FixedFormat = fixedFormat;
        style.UnitSuffix = parts.UnitSuffix;
        style.SuppressZero = e.Settings.rounded(Setting::DoNotPlotZeroX) == 1;
        WalkLinearTicks(
            m.XMin, steps.Major, steps.Minor, m.MapWidth, XPosition, [&](const LinearTick& tick) {
                const int p = m.MapLeft + tick.Position;
                if (!tick.Major) {
                    painter.Minor(p);
                    return;
                }
                const double shown = range.Reversed ? -tick.Value : tick.Value;
                painter.Major(p,
                              LinearTickLabel(format, style, e.LabelDecimalsX, steps.Major, shown));
            });
        e.LabelDecimalsX = DecimalsFor(e.UnitsPerPixelX);
        if (range.Reversed) {
            m.XMin = -m.XMin;
            m.XMax = -m.XMax;
        }
        if (widened)
            drawnWindow = WidenedWindow(axisStart, axisEnd, m.XMin, m.XMax);
    } else {
        const LabelFormat format = PrepareLabelFormat(fixedFormat, true, Setting::FormatSciLabelsX);
        area.MinZoomFractionX = leastZoomFraction;
        m.XLogSpan = std::log(m.XMax / m.XMin);
        const double ratio = std::max(m.XMin, m.XMax) / std::min(m.XMin, m.XMax);
        const int level = LogFinenessLevel(m.MapWidth, e.Settings.value(Setting::FinenessLogX),
                                           ratio, c.Font.Size);
        WalkLogTicks(m.XMin, m.XMax, m.MapWidth, level, true, XPosition, [&](const LogTick& tick) {
            const int p = m.MapLeft + tick.Position;
            if (!tick.Long) {
                painter.Minor(p);
                return;
            }
            painter.Major(p, tick.Labelled
                                 ? DecadeLabel(tick.Exponent, tick.Digit, format.ExponentLetter) +
                                       parts.UnitSuffix
                                 : std::string());
        });
        e.UnitsPerPixelX = std::pow(ratio, 1.0 / m.MapWidth);
        e.MinimumStepX = 0;
        e.MinimumStepDecimalsX = 99;
        e.LabelDecimalsX = DecimalsFor(e.UnitsPerPixelX - 1) + 1;
    }

    if (painter.Colours.Visible && !parts.Caption.empty()) {
        const int extent = painter.LabelPlaced ? e.CharHeight : 0;
        DrawAxisText(m.MapLeft + m.MapWidth / 2,
                     painter.Baseline + (e.MajorTickLength + extent) * painter.Direction,
                     parts.Caption, THorizontalAlign::Centre,
                     painter.Direction > 0 ? TVerticalAlign::Top : TVerticalAlign::Bottom);
    }

    TDrawnAxis drawn;
    drawn.Colour = painter.Colours.Colour;
    drawn.Min = m.XMin;
    drawn.Max = m.XMax;
    drawn.Log = m.XLog;
    drawn.LogSpan = m.XLogSpan;
    drawn.PixelOrigin = m.MapLeft;
    drawn.PixelLength = m.MapWidth;
    drawn.UnitsPerPixel = e.UnitsPerPixelX;
    drawn.MinimumStep = e.MinimumStepX;
    drawn.LabelDecimals = e.LabelDecimalsX;
    drawn.MinimumStepDecimals = e.MinimumStepDecimalsX;
    drawn.DrawnWindow = drawnWindow;
    StoreAxisRecord(kAxisX, drawn);
    area.ZoomWindow.XLow = drawnWindow.Low;
    area.ZoomWindow.XHigh = drawnWindow.High;
    area.DrawnYAxisCount = 0;
    e.Settings.expire(SettingEvent::Axis);
}
