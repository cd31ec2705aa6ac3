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

// Draws the ticks, labels and grid lines of a y axis in its column, ticks and labels pointing
// in `direction`.
struct TYTickPainter {
    EngineState* E = nullptr;
    TAxisColours Colours;
    int Column = 0;
    int Direction = 1;
    bool GridOn = false;
    int Angle = 0;
    int WidestLabel = 0;

    void Major(int p, const std::string& label, bool atZero) {
        EngineState& e = *E;
        Canvas& c = *e.TargetCanvas;
        if (Colours.Visible) {
            if (e.MajorTickLength > 0) {
                c.MoveTo(Column, p);
                c.LineTo(Column + e.MajorTickLength * Direction, p);
            }
            const auto horizontal =
                Direction > 0 ? THorizontalAlign::Left : THorizontalAlign::Right;
            if (!label.empty() && DrawAxisText(e, Column + (e.MajorTickLength + 2) * Direction, p,
                                               label, horizontal, TVerticalAlign::Centred, Angle))
                WidestLabel = std::max(WidestLabel, c.TextWidth(label));
        }
        // Every y axis marks its zero, grid or not.
        if (GridOn || atZero)
            GridLineY(e, p, false, Colours.Colour);
    }

    void Minor(int q) {
        EngineState& e = *E;
        Canvas& c = *e.TargetCanvas;
        if (Colours.Visible && e.MinorTickLength > 0) {
            c.MoveTo(Column, q);
            c.LineTo(Column + e.MinorTickLength * Direction, q);
        }
        if (GridOn)
            GridLineY(e, q, true, Colours.Colour);
    }
};

// Running mean of the drawn windows of the y axes drawn so far in the area.
void AverageYZoomWindow(TPlotArea& area, const TFractionWindow& drawn) {
    const int n = ++area.DrawnYAxisCount;
    area.ZoomWindow.YLow = ((n - 1) * area.ZoomWindow.YLow + drawn.Low) / n;
    area.ZoomWindow.YHigh = ((n - 1) * area.ZoomWindow.YHigh + drawn.High) / n;
}

} // namespace

void DrawYAxis(EngineState& e, const plot::AxisDescription& axis) {
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
    const bool accepted = axisStart != axisEnd && e.Area().AreaValid && std::abs(axisSide) <= 8;
    e.AxesReady = accepted;
    if (!accepted)
        return;
    e.EnginePhase = 4;
    const int side = axisSide == 0 ? 1 : std::abs(axisSide);
    // Sides 5..8 have no placement of their own; they are drawn like 1..4, without a caption.
    const int record = (side - 1) % 4 + 1;
    const bool logarithmic = axis.logarithmic && axisStart > 0 && axisEnd > 0;

    Canvas& c = *e.TargetCanvas;
    TMapping& m = e.CurrentMapping;
    TPlotArea& area = e.Area();
    TYTickPainter painter;
    painter.E = &e;
    const auto yPosition = [&m](double v) { return m.MapBottom - MapY(m, v); };
    painter.Colours = ApplyAxisColour(e, colour);
    painter.GridOn = axis.gridOn;
    const int columns[] = {m.MapLeft, m.MapLeft + 1, m.MapLeft + m.MapWidth - 1,
                           m.MapLeft + m.MapWidth};
    painter.Column = columns[record - 1];
    painter.Direction = record % 2 == 0 ? 1 : -1;
    const int extendMode = logarithmic ? 0 : static_cast<int>(axis.extend);
    const TickLengthPair ticks = TickLengths(e.CharWidth, e.Settings.value(Setting::MajorTicSizeY),
                                             e.Settings.value(Setting::MinorTicSizeY));
    e.MajorTickLength = ticks.Major;
    e.MinorTickLength = ticks.Minor;
    const double leastZoomFraction = 1.0 / e.Settings.value(Setting::MaxZoomDepth);
    painter.Angle = e.Settings.rounded(Setting::AngleTextY);

    if (painter.Colours.Visible) {
        c.MoveTo(painter.Column, m.MapBottom);
        c.LineTo(painter.Column, m.MapBottom - m.MapHeight - 1);
    }

    const TFractionWindow zoom = area.AxisRecord[static_cast<std::size_t>(record)].AxisZoomWindow;
    const TAxisRange range =
        ShownRange(axisStart, axisEnd, zoom, logarithmic, e.Settings.value(Setting::MinLogRatio));
    m.YMin = range.Min;
    m.YMax = range.Max;
    m.YLog = range.Log;
    TFractionWindow drawnWindow = zoom;
    TDrawnAxis drawn;

    if (!range.Log) {
        const LabelFormat format =
            PrepareLabelFormat(e, fixedFormat, false, Setting::FormatSciLabelsY);
        if (area.MinZoomFractionY == 0)
            area.MinZoomFractionY =
                std::max(resolution / std::fabs(axisEnd - axisStart), leastZoomFraction);
        double low = m.YMin, high = m.YMax, step = axis.minimumStep;
        const int pitch = LabelPitch(e.CharHeight, e.Settings.value(Setting::LabelDistY));
        const TickSteps steps = ChooseTickSteps(low, high, step, m.MapHeight, pitch, extendMode);
        const bool widened = low != m.YMin || high != m.YMax;
        m.YMin = low;
        m.YMax = high;
        drawn.UnitsPerPixel = (m.YMax - m.YMin) / m.MapHeight;
        drawn.MinimumStep = step;
        drawn.MinimumStepDecimals = DecimalsFor(step);
        drawn.LabelDecimals = LabelDecimals(steps.Decimals, drawn.MinimumStepDecimals);
        m.YLogSpan = 1.0;

        LinearLabelStyle style;
        style.FixedFormat = fixedFormat;
        style.SuppressZero = e.Settings.rounded(Setting::DoNotPlotZeroY) == 1;
        WalkLinearTicks(
            m.YMin, steps.Major, steps.Minor, m.MapHeight, yPosition, [&](const LinearTick& tick) {
                const int p = m.MapBottom - tick.Position;
                if (!tick.Major) {
                    painter.Minor(p);
                    return;
                }
                const double shown = range.Reversed ? -tick.Value : tick.Value;
                painter.Major(
                    p, LinearTickLabel(format, style, drawn.LabelDecimals, steps.Major, shown),
                    ApplyZeroRule(tick.Value, steps.Major) == 0);
            });
        drawn.LabelDecimals = DecimalsFor(drawn.UnitsPerPixel);
        if (range.Reversed) {
            m.YMin = -m.YMin;
            m.YMax = -m.YMax;
        }
        if (widened)
            drawnWindow = WidenedWindow(axisStart, axisEnd, m.YMin, m.YMax);
    } else {
        const LabelFormat format =
            PrepareLabelFormat(e, fixedFormat, true, Setting::FormatSciLabelsY);
        if (area.MinZoomFractionY == 0)
            area.MinZoomFractionY = leastZoomFraction;
        m.YLogSpan = std::log(m.YMax / m.YMin);
        const double ratio = std::max(m.YMin, m.YMax) / std::min(m.YMin, m.YMax);
        const int level = LogFinenessLevel(m.MapHeight, e.Settings.value(Setting::FinenessLogY),
                                           ratio, c.Font.Size);
        WalkLogTicks(
            m.YMin, m.YMax, m.MapHeight, level, false, yPosition, [&](const LogTick& tick) {
                const int p = m.MapBottom - tick.Position;
                if (!tick.Long) {
                    painter.Minor(p);
                    return;
                }
                painter.Major(p,
                              tick.Labelled
                                  ? DecadeLabel(tick.Exponent, tick.Digit, format.ExponentLetter)
                                  : std::string(),
                              false);
            });
        drawn.UnitsPerPixel = std::pow(ratio, 1.0 / m.MapHeight);
        drawn.MinimumStep = 0;
        drawn.MinimumStepDecimals = 99;
        drawn.LabelDecimals = DecimalsFor(drawn.UnitsPerPixel - 1) + 1;
    }

    if (side <= 4 && painter.Colours.Visible && !caption.empty()) {
        std::string text = caption;
        int row = m.MapBottom - m.MapHeight - e.CharHeight / 2;
        if (text.front() == '@') {
            text.erase(0, 1);
            row -= e.CharHeight;
        }
        const int reach = painter.WidestLabel + e.MajorTickLength;
        const int anchors[] = {std::max(painter.Column - reach, 0), painter.Column - 1,
                               painter.Column + 1,
                               std::min(painter.Column + reach, e.PictureWidth)};
        DrawAxisText(e, anchors[record - 1], row, text,
                     record <= 2 ? THorizontalAlign::Left : THorizontalAlign::Right,
                     TVerticalAlign::Bottom);
    }
    c.Pen.Mode = TPenMode::Copy;

    drawn.Colour = painter.Colours.Colour;
    drawn.Min = m.YMin;
    drawn.Max = m.YMax;
    drawn.Log = m.YLog;
    drawn.LogSpan = m.YLogSpan;
    drawn.PixelOrigin = m.MapBottom;
    drawn.PixelLength = m.MapHeight;
    drawn.DrawnWindow = drawnWindow;
    StoreAxisRecord(e, record, drawn);
    AverageYZoomWindow(area, drawnWindow);
    e.Settings.expire(SettingEvent::Axis);
}
