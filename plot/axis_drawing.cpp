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

// Everything in which an x axis and a y axis differ: where the axis line lies, which way its
// pixels run, and the settings it reads.
struct AxisGeometry {
    bool horizontal = true;
    int record = kAxisX; // the area's axis record: X, or Y1..Y4 by side
    bool captioned = true;
    int line = 0;      // row of an x axis, column of a y axis
    int direction = 1; // of ticks and labels from the line: down for x, right for y
    int origin = 0;    // pixel of the axis start along the axis
    int sign = 1;      // +1 when pixels grow from start to end (x), -1 when they fall (y)
    int length = 0;
    Setting majorTicSize = Setting::MajorTicSizeX;
    Setting minorTicSize = Setting::MinorTicSizeX;
    Setting angleText = Setting::AngleTextX;
    Setting sciLabels = Setting::FormatSciLabelsX;
    Setting doNotPlotZero = Setting::DoNotPlotZeroX;
    Setting finenessLog = Setting::FinenessLogX;
};

// Sides 1 and 2 lie at the bottom edge, 3 and 4 at the top; odd sides point down.
AxisGeometry xGeometry(const TMapping& m, int side) {
    AxisGeometry g;
    g.line = side <= 2 ? m.MapBottom : m.MapBottom - m.MapHeight;
    g.direction = side == 1 || side == 3 ? 1 : -1;
    g.origin = m.MapLeft;
    g.length = m.MapWidth;
    return g;
}

// Sides 1 and 2 lie at the left edge, 3 and 4 at the right, odd sides pointing left; 5..8 have
// no placement of their own and are drawn like 1..4, without a caption.
AxisGeometry yGeometry(const TMapping& m, int side) {
    AxisGeometry g;
    g.horizontal = false;
    g.record = (side - 1) % 4 + 1;
    g.captioned = side <= 4;
    const int columns[] = {m.MapLeft, m.MapLeft + 1, m.MapLeft + m.MapWidth - 1,
                           m.MapLeft + m.MapWidth};
    g.line = columns[g.record - 1];
    g.direction = g.record % 2 == 0 ? 1 : -1;
    g.origin = m.MapBottom;
    g.sign = -1;
    g.length = m.MapHeight;
    g.majorTicSize = Setting::MajorTicSizeY;
    g.minorTicSize = Setting::MinorTicSizeY;
    g.angleText = Setting::AngleTextY;
    g.sciLabels = Setting::FormatSciLabelsY;
    g.doNotPlotZero = Setting::DoNotPlotZeroY;
    g.finenessLog = Setting::FinenessLogY;
    return g;
}

// Draws the ticks, labels and grid lines of the axis.
class TickPainter {
public:
    TickPainter(EngineState& e, const AxisGeometry& g, TAxisColours colours, bool gridOn)
        : e_(e), g_(g), colours_(colours), gridOn_(gridOn),
          angle_(e.Settings.rounded(g.angleText)) {}

    // A y axis marks its zero with a grid line, grid or not.
    void major(int p, const std::string& label, bool zeroLine) {
        if (colours_.Visible) {
            if (e_.MajorTickLength > 0)
                tick(p, e_.MajorTickLength);
            if (!label.empty() && drawLabel(p, label)) {
                labelPlaced_ = true;
                widestLabel_ = std::max(widestLabel_, e_.TargetCanvas->TextWidth(label));
            }
        }
        if (gridOn_ || zeroLine)
            gridLine(p, false);
    }

    void minor(int q) {
        if (colours_.Visible && e_.MinorTickLength > 0)
            tick(q, e_.MinorTickLength);
        if (gridOn_)
            gridLine(q, true);
    }

    bool labelPlaced() const { return labelPlaced_; }
    int widestLabel() const { return widestLabel_; }

private:
    void tick(int p, int length) {
        Canvas& c = *e_.TargetCanvas;
        const int end = g_.line + length * g_.direction;
        if (g_.horizontal) {
            c.MoveTo(p, g_.line);
            c.LineTo(p, end);
        } else {
            c.MoveTo(g_.line, p);
            c.LineTo(end, p);
        }
    }

    // x labels centred under (over) the tick's end, y labels beside it, two pixels off.
    bool drawLabel(int p, const std::string& label) {
        const int major = e_.MajorTickLength;
        if (g_.horizontal)
            return DrawAxisText(
                e_, p, g_.line + major * g_.direction, label, THorizontalAlign::Centre,
                g_.direction > 0 ? TVerticalAlign::Top : TVerticalAlign::Bottom, angle_);
        return DrawAxisText(e_, g_.line + (major + 2) * g_.direction, p, label,
                            g_.direction > 0 ? THorizontalAlign::Left : THorizontalAlign::Right,
                            TVerticalAlign::Centred, angle_);
    }

    void gridLine(int p, bool minor) {
        if (g_.horizontal)
            GridLineX(e_, p, minor, colours_.Colour);
        else
            GridLineY(e_, p, minor, colours_.Colour);
    }

    EngineState& e_;
    const AxisGeometry& g_;
    TAxisColours colours_;
    bool gridOn_;
    int angle_;
    bool labelPlaced_ = false;
    int widestLabel_ = 0;
};

// An x caption stands centred beyond the labels; a y caption above the plot's top edge, beside
// the axis, one line higher when it starts with "@".
void drawCaption(EngineState& e, const AxisGeometry& g, const TickPainter& painter,
                 std::string caption) {
    const TMapping& m = e.CurrentMapping;
    if (g.horizontal) {
        const int extent = painter.labelPlaced() ? e.CharHeight : 0;
        DrawAxisText(e, m.MapLeft + m.MapWidth / 2,
                     g.line + (e.MajorTickLength + extent) * g.direction, caption,
                     THorizontalAlign::Centre,
                     g.direction > 0 ? TVerticalAlign::Top : TVerticalAlign::Bottom);
        return;
    }
    int row = m.MapBottom - m.MapHeight - e.CharHeight / 2;
    if (caption.front() == '@') {
        caption.erase(0, 1);
        row -= e.CharHeight;
    }
    const int reach = painter.widestLabel() + e.MajorTickLength;
    const int anchors[] = {std::max(g.line - reach, 0), g.line - 1, g.line + 1,
                           std::min(g.line + reach, e.PictureWidth)};
    DrawAxisText(e, anchors[g.record - 1], row, caption,
                 g.record <= 2 ? THorizontalAlign::Left : THorizontalAlign::Right,
                 TVerticalAlign::Bottom);
}

// Running mean of the drawn windows of the y axes drawn so far in the area.
void averageYZoomWindow(TPlotArea& area, const TFractionWindow& drawn) {
    const int n = ++area.DrawnYAxisCount;
    area.ZoomWindow.YLow = ((n - 1) * area.ZoomWindow.YLow + drawn.Low) / n;
    area.ZoomWindow.YHigh = ((n - 1) * area.ZoomWindow.YHigh + drawn.High) / n;
}

// Whether the axis is drawn: an x axis also not after a y axis of the same area. A y axis
// decides whether world lines may follow.
bool accept(EngineState& e, const plot::AxisDescription& axis) {
    const bool horizontal = axis.kind == plot::AxisKind::X;
    const bool accepted =
        axis.start != axis.end && e.Area().AreaValid && std::abs(axis.side) <= (horizontal ? 4 : 8);
    if (horizontal) {
        if (!accepted || e.EnginePhase > 3)
            return false;
        e.EnginePhase = 3;
        return true;
    }
    e.AxesReady = accepted;
    if (accepted)
        e.EnginePhase = 4;
    return accepted;
}

} // namespace

void DrawAxis(EngineState& e, const plot::AxisDescription& axis) {
    if (e.TargetCanvas == nullptr)
        return;
    FinishGraph(e);
    e.PicturePixelMode = false;
    if (!accept(e, axis))
        return;
    const int side = axis.side == 0 ? 1 : std::abs(axis.side);
    const bool logarithmic = axis.logarithmic && axis.start > 0 && axis.end > 0;

    Canvas& c = *e.TargetCanvas;
    TMapping& m = e.CurrentMapping;
    TPlotArea& area = e.Area();
    const AxisGeometry g = axis.kind == plot::AxisKind::X ? xGeometry(m, side) : yGeometry(m, side);
    double& mapMin = g.horizontal ? m.XMin : m.YMin;
    double& mapMax = g.horizontal ? m.XMax : m.YMax;
    bool& mapLog = g.horizontal ? m.XLog : m.YLog;
    double& mapLogSpan = g.horizontal ? m.XLogSpan : m.YLogSpan;
    const auto position = [&m, &g](double v) {
        return g.sign * ((g.horizontal ? MapX(m, v) : MapY(m, v)) - g.origin);
    };

    const TAxisColours colours = ApplyAxisColour(e, axis.colour);
    TickPainter painter(e, g, colours, axis.gridOn);
    // Only an x caption carries a unit suffix for its labels.
    const TCaptionParts parts =
        g.horizontal ? SplitCaption(axis.caption) : TCaptionParts{axis.caption, {}};
    const int extendMode = logarithmic ? 0 : static_cast<int>(axis.extend);
    const TickLengthPair ticks = TickLengths(e.CharWidth, e.Settings.value(g.majorTicSize),
                                             e.Settings.value(g.minorTicSize));
    e.MajorTickLength = ticks.Major;
    e.MinorTickLength = ticks.Minor;
    const double leastZoomFraction = 1.0 / e.Settings.value(Setting::MaxZoomDepth);

    if (colours.Visible) {
        const int end = g.origin + g.sign * (g.length + 1);
        if (g.horizontal) {
            c.MoveTo(g.origin, g.line);
            c.LineTo(end, g.line);
        } else {
            c.MoveTo(g.line, g.origin);
            c.LineTo(g.line, end);
        }
    }

    const TFractionWindow zoom = area.AxisRecord[static_cast<std::size_t>(g.record)].AxisZoomWindow;
    const TAxisRange range =
        ShownRange(axis.start, axis.end, zoom, logarithmic, e.Settings.value(Setting::MinLogRatio));
    mapMin = range.Min;
    mapMax = range.Max;
    mapLog = range.Log;
    TFractionWindow drawnWindow = zoom;
    TDrawnAxis drawn;
    // The x axis sets its least zoom fraction anew; of the y axes, the first in the area.
    double& minZoomFraction = g.horizontal ? area.MinZoomFractionX : area.MinZoomFractionY;
    const bool setsMinZoomFraction = g.horizontal || minZoomFraction == 0;

    if (!range.Log) {
        const LabelFormat format = PrepareLabelFormat(e, axis.fixedFormat, false, g.sciLabels);
        if (setsMinZoomFraction)
            minZoomFraction =
                std::max(axis.resolution / std::fabs(axis.end - axis.start), leastZoomFraction);
        double low = mapMin, high = mapMax, step = axis.minimumStep;
        int pitch = 0;
        if (g.horizontal) {
            const int suffixWidth = parts.UnitSuffix.empty() ? 0 : c.TextWidth(parts.UnitSuffix);
            pitch = LabelPitch(e.CharWidth,
                               e.Settings.value(axis.fixedFormat ? Setting::LabelDistXFloat
                                                                 : Setting::LabelDistXExp),
                               suffixWidth);
        } else {
            pitch = LabelPitch(e.CharHeight, e.Settings.value(Setting::LabelDistY));
        }
        const TickSteps steps = ChooseTickSteps(low, high, step, g.length, pitch, extendMode);
        const bool widened = low != mapMin || high != mapMax;
        mapMin = low;
        mapMax = high;
        drawn.UnitsPerPixel = (mapMax - mapMin) / g.length;
        drawn.MinimumStep = step;
        drawn.MinimumStepDecimals = DecimalsFor(step);
        drawn.LabelDecimals = LabelDecimals(steps.Decimals, drawn.MinimumStepDecimals);
        mapLogSpan = 1.0;

        LinearLabelStyle style;
        style.FixedFormat = axis.fixedFormat;
        style.UnitSuffix = parts.UnitSuffix;
        style.SuppressZero = e.Settings.rounded(g.doNotPlotZero) == 1;
        WalkLinearTicks(
            mapMin, steps.Major, steps.Minor, g.length, position, [&](const LinearTick& tick) {
                const int p = g.origin + g.sign * tick.Position;
                if (!tick.Major) {
                    painter.minor(p);
                    return;
                }
                const double shown = range.Reversed ? -tick.Value : tick.Value;
                painter.major(
                    p, LinearTickLabel(format, style, drawn.LabelDecimals, steps.Major, shown),
                    !g.horizontal && ApplyZeroRule(tick.Value, steps.Major) == 0);
            });
        drawn.LabelDecimals = DecimalsFor(drawn.UnitsPerPixel);
        if (range.Reversed) {
            mapMin = -mapMin;
            mapMax = -mapMax;
        }
        if (widened)
            drawnWindow = WidenedWindow(axis.start, axis.end, mapMin, mapMax);
    } else {
        const LabelFormat format = PrepareLabelFormat(e, axis.fixedFormat, true, g.sciLabels);
        if (setsMinZoomFraction)
            minZoomFraction = leastZoomFraction;
        mapLogSpan = std::log(mapMax / mapMin);
        const double ratio = std::max(mapMin, mapMax) / std::min(mapMin, mapMax);
        const int level =
            LogFinenessLevel(g.length, e.Settings.value(g.finenessLog), ratio, c.Font.Size);
        WalkLogTicks(
            mapMin, mapMax, g.length, level, g.horizontal, position, [&](const LogTick& tick) {
                const int p = g.origin + g.sign * tick.Position;
                if (!tick.Long) {
                    painter.minor(p);
                    return;
                }
                painter.major(p,
                              tick.Labelled
                                  ? DecadeLabel(tick.Exponent, tick.Digit, format.ExponentLetter) +
                                        parts.UnitSuffix
                                  : std::string(),
                              false);
            });
        drawn.UnitsPerPixel = std::pow(ratio, 1.0 / g.length);
        drawn.MinimumStep = 0;
        drawn.MinimumStepDecimals = 99;
        drawn.LabelDecimals = DecimalsFor(drawn.UnitsPerPixel - 1) + 1;
    }

    if (g.captioned && colours.Visible && !parts.Caption.empty())
        drawCaption(e, g, painter, parts.Caption);
    // A y axis hands the series that follow a pen in copy mode.
    if (!g.horizontal)
        c.Pen.Mode = TPenMode::Copy;

    drawn.Colour = colours.Colour;
    drawn.Min = mapMin;
    drawn.Max = mapMax;
    drawn.Log = mapLog;
    drawn.LogSpan = mapLogSpan;
    drawn.PixelOrigin = g.origin;
    drawn.PixelLength = g.length;
    drawn.DrawnWindow = drawnWindow;
    StoreAxisRecord(e, g.record, drawn);
    if (g.horizontal) {
        area.ZoomWindow.XLow = drawnWindow.Low;
        area.ZoomWindow.XHigh = drawnWindow.High;
        area.DrawnYAxisCount = 0;
    } else {
        averageYZoomWindow(area, drawnWindow);
    }
    e.Settings.expire(SettingEvent::Axis);
}
