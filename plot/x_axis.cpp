#include "plot/axes.h"

#include "plot/axis_common.h"
#include "plot/axis_text.h"
#include "plot/engine.h"
#include "plot/grid_lines.h"
#include "plot/log_scale.h"
#include "plot/tick_steps.h"
#include "plot/tick_walk.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Draws the ticks, labels and grid lines of the x axis on the baseline, ticks and labels
// pointing in `direction`.
struct TXTickPainter {
    EngineState* E = nullptr;
    TAxisColours Colours;
    int Baseline = 0;
    int Direction = 1;
    bool GridOn = false;
    int Angle = 0;
    bool LabelPlaced = false;

    void Major(int p, const std::string& label) {
        EngineState& e = *E;
        Canvas& c = *e.TargetCanvas;
        if (Colours.Visible) {
            const int end = Baseline + e.MajorTickLength * Direction;
            if (e.MajorTickLength > 0) {
                c.MoveTo(p, Baseline);
                c.LineTo(p, end);
            }
            const auto vertical = Direction > 0 ? TVerticalAlign::Top : TVerticalAlign::Bottom;
            if (!label.empty() &&
                DrawAxisText(e, p, end, label, THorizontalAlign::Centre, vertical, Angle))
                LabelPlaced = true;
        }
        if (GridOn)
            GridLineX(e, p, false, Colours.Colour);
    }

    void Minor(int q) {
        EngineState& e = *E;
        Canvas& c = *e.TargetCanvas;
        if (Colours.Visible && e.MinorTickLength > 0) {
            c.MoveTo(q, Baseline);
            c.LineTo(q, Baseline + e.MinorTickLength * Direction);
        }
        if (GridOn)
            GridLineX(e, q, true, Colours.Colour);
    }
};

} // namespace

void DrawXAxis(EngineState& e, const plot::AxisDescription& axis) {
    if (e.TargetCanvas == nullptr)
        return;
    FinishGraph(e);
    const TColor colour = axis.colour;
    const std::string& caption = axis.caption;
    const int axisSide = axis.side;
    const double axisStart = axis.start;
    const double axisEnd = axis.end;
    const double resolution = axis.resolution;
    const bool fixedFormat = axis.fixedFormat;
    e.PicturePixelMode = false;
    const bool accepted = axisStart != axisEnd && e.Area().AreaValid && std::abs(axisSide) <= 4;
    if (!accepted || e.EnginePhase > 3)
        return;
    e.EnginePhase = 3;
    const int side = axisSide == 0 ? 1 : std::abs(axisSide);
    const bool logarithmic = axis.logarithmic && axisStart > 0 && axisEnd > 0;

    Canvas& c = *e.TargetCanvas;
    TMapping& m = e.CurrentMapping;
    TPlotArea& area = e.Area();
    TXTickPainter painter;
    painter.E = &e;
    const auto xPosition = [&m](double v) { return MapX(m, v) - m.MapLeft; };
    painter.Colours = ApplyAxisColour(e, colour);
    painter.Baseline = side <= 2 ? m.MapBottom : m.MapBottom - m.MapHeight;
    painter.Direction = side == 1 || side == 3 ? 1 : -1;
    painter.GridOn = axis.gridOn;
    const TCaptionParts parts = SplitCaption(caption);
    const int extendMode = logarithmic ? 0 : static_cast<int>(axis.extend);
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
    const TAxisRange range =
        ShownRange(axisStart, axisEnd, zoom, logarithmic, e.Settings.value(Setting::MinLogRatio));
    m.XMin = range.Min;
    m.XMax = range.Max;
    m.XLog = range.Log;
    TFractionWindow drawnWindow = zoom;
    TDrawnAxis drawn;

    if (!range.Log) {
        const LabelFormat format =
            PrepareLabelFormat(e, fixedFormat, false, Setting::FormatSciLabelsX);
        area.MinZoomFractionX =
            std::max(resolution / std::fabs(axisEnd - axisStart), leastZoomFraction);
        double low = m.XMin, high = m.XMax, step = axis.minimumStep;
        const int suffixWidth = parts.UnitSuffix.empty() ? 0 : c.TextWidth(parts.UnitSuffix);
        const int pitch = LabelPitch(
            e.CharWidth,
            e.Settings.value(fixedFormat ? Setting::LabelDistXFloat : Setting::LabelDistXExp),
            suffixWidth);
        const TickSteps steps = ChooseTickSteps(low, high, step, m.MapWidth, pitch, extendMode);
        const bool widened = low != m.XMin || high != m.XMax;
        m.XMin = low;
        m.XMax = high;
        drawn.UnitsPerPixel = (m.XMax - m.XMin) / m.MapWidth;
        drawn.MinimumStep = step;
        drawn.MinimumStepDecimals = DecimalsFor(step);
        drawn.LabelDecimals = LabelDecimals(steps.Decimals, drawn.MinimumStepDecimals);
        m.XLogSpan = 1.0;

        LinearLabelStyle style;
        style.FixedFormat = fixedFormat;
        style.UnitSuffix = parts.UnitSuffix;
        style.SuppressZero = e.Settings.rounded(Setting::DoNotPlotZeroX) == 1;
        WalkLinearTicks(m.XMin, steps.Major, steps.Minor, m.MapWidth, xPosition,
                        [&](const LinearTick& tick) {
                            const int p = m.MapLeft + tick.Position;
                            if (!tick.Major) {
                                painter.Minor(p);
                                return;
                            }
                            const double shown = range.Reversed ? -tick.Value : tick.Value;
                            painter.Major(p, LinearTickLabel(format, style, drawn.LabelDecimals,
                                                             steps.Major, shown));
                        });
        drawn.LabelDecimals = DecimalsFor(drawn.UnitsPerPixel);
        if (range.Reversed) {
            m.XMin = -m.XMin;
            m.XMax = -m.XMax;
        }
        if (widened)
            drawnWindow = WidenedWindow(axisStart, axisEnd, m.XMin, m.XMax);
    } else {
        const LabelFormat format =
            PrepareLabelFormat(e, fixedFormat, true, Setting::FormatSciLabelsX);
        area.MinZoomFractionX = leastZoomFraction;
        m.XLogSpan = std::log(m.XMax / m.XMin);
        const double ratio = std::max(m.XMin, m.XMax) / std::min(m.XMin, m.XMax);
        const int level = LogFinenessLevel(m.MapWidth, e.Settings.value(Setting::FinenessLogX),
                                           ratio, c.Font.Size);
        WalkLogTicks(m.XMin, m.XMax, m.MapWidth, level, true, xPosition, [&](const LogTick& tick) {
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
        drawn.UnitsPerPixel = std::pow(ratio, 1.0 / m.MapWidth);
        drawn.MinimumStep = 0;
        drawn.MinimumStepDecimals = 99;
        drawn.LabelDecimals = DecimalsFor(drawn.UnitsPerPixel - 1) + 1;
    }

    if (painter.Colours.Visible && !parts.Caption.empty()) {
        const int extent = painter.LabelPlaced ? e.CharHeight : 0;
        DrawAxisText(e, m.MapLeft + m.MapWidth / 2,
                     painter.Baseline + (e.MajorTickLength + extent) * painter.Direction,
                     parts.Caption, THorizontalAlign::Centre,
                     painter.Direction > 0 ? TVerticalAlign::Top : TVerticalAlign::Bottom);
    }

    drawn.Colour = painter.Colours.Colour;
    drawn.Min = m.XMin;
    drawn.Max = m.XMax;
    drawn.Log = m.XLog;
    drawn.LogSpan = m.XLogSpan;
    drawn.PixelOrigin = m.MapLeft;
    drawn.PixelLength = m.MapWidth;
    drawn.DrawnWindow = drawnWindow;
    StoreAxisRecord(e, kAxisX, drawn);
    area.ZoomWindow.XLow = drawnWindow.Low;
    area.ZoomWindow.XHigh = drawnWindow.High;
    area.DrawnYAxisCount = 0;
    e.Settings.expire(SettingEvent::Axis);
}
