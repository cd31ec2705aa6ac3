// SPDX-License-Identifier: GPL-3.0-or-later
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

namespace plot {

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
AxisGeometry xGeometry(const Mapping& m, int side) {
    AxisGeometry g;
    g.line = side <= 2 ? m.mapBottom : m.mapBottom - m.mapHeight;
    g.direction = side == 1 || side == 3 ? 1 : -1;
    g.origin = m.mapLeft;
    g.length = m.mapWidth;
    return g;
}

// Sides 1 and 2 lie at the left edge, 3 and 4 at the right, odd sides pointing left; 5..8 have
// no placement of their own and are drawn like 1..4, without a caption.
AxisGeometry yGeometry(const Mapping& m, int side) {
    AxisGeometry g;
    g.horizontal = false;
    g.record = (side - 1) % 4 + 1;
    g.captioned = side <= 4;
    const int columns[] = {m.mapLeft, m.mapLeft + 1, m.mapLeft + m.mapWidth - 1,
                           m.mapLeft + m.mapWidth};
    g.line = columns[g.record - 1];
    g.direction = g.record % 2 == 0 ? 1 : -1;
    g.origin = m.mapBottom;
    g.sign = -1;
    g.length = m.mapHeight;
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
    TickPainter(EngineState& e, const AxisGeometry& g, AxisColours colours, bool gridOn)
        : e_(e), g_(g), colours_(colours), gridOn_(gridOn),
          angle_(e.settings.rounded(g.angleText)) {}

    // A y axis marks its zero with a grid line, grid or not.
    void major(int p, const std::string& label, bool zeroLine) {
        if (colours_.visible) {
            if (e_.majorTickLength > 0)
                tick(p, e_.majorTickLength);
            if (!label.empty() && drawLabel(p, label)) {
                labelPlaced_ = true;
                widestLabel_ = std::max(widestLabel_, e_.targetCanvas->textWidth(label));
            }
        }
        if (gridOn_ || zeroLine)
            gridLine(p, false);
    }

    void minor(int q) {
        if (colours_.visible && e_.minorTickLength > 0)
            tick(q, e_.minorTickLength);
        if (gridOn_)
            gridLine(q, true);
    }

    bool labelPlaced() const { return labelPlaced_; }
    int widestLabel() const { return widestLabel_; }

private:
    void tick(int p, int length) {
        Canvas& c = *e_.targetCanvas;
        const int end = g_.line + length * g_.direction;
        if (g_.horizontal) {
            c.moveTo(p, g_.line);
            c.lineTo(p, end);
        } else {
            c.moveTo(g_.line, p);
            c.lineTo(end, p);
        }
    }

    // x labels centred under (over) the tick's end, y labels beside it, two pixels off.
    bool drawLabel(int p, const std::string& label) {
        const int major = e_.majorTickLength;
        if (g_.horizontal)
            return drawAxisText(
                e_, p, g_.line + major * g_.direction, label, HorizontalAlign::Centre,
                g_.direction > 0 ? VerticalAlign::Top : VerticalAlign::Bottom, angle_);
        return drawAxisText(e_, g_.line + (major + 2) * g_.direction, p, label,
                            g_.direction > 0 ? HorizontalAlign::Left : HorizontalAlign::Right,
                            VerticalAlign::Centred, angle_);
    }

    void gridLine(int p, bool minor) {
        if (g_.horizontal)
            gridLineX(e_, p, minor, colours_.colour);
        else
            gridLineY(e_, p, minor, colours_.colour);
    }

    EngineState& e_;
    const AxisGeometry& g_;
    AxisColours colours_;
    bool gridOn_;
    int angle_;
    bool labelPlaced_ = false;
    int widestLabel_ = 0;
};

// An x caption stands centred beyond the labels; a y caption above the plot's top edge, beside
// the axis, one line higher when it starts with "@".
void drawCaption(EngineState& e, const AxisGeometry& g, const TickPainter& painter,
                 std::string caption) {
    const Mapping& m = e.currentMapping;
    if (g.horizontal) {
        const int extent = painter.labelPlaced() ? e.charHeight : 0;
        drawAxisText(e, m.mapLeft + m.mapWidth / 2,
                     g.line + (e.majorTickLength + extent) * g.direction, caption,
                     HorizontalAlign::Centre,
                     g.direction > 0 ? VerticalAlign::Top : VerticalAlign::Bottom);
        return;
    }
    int row = m.mapBottom - m.mapHeight - e.charHeight / 2;
    if (caption.front() == '@') {
        caption.erase(0, 1);
        row -= e.charHeight;
    }
    const int reach = painter.widestLabel() + e.majorTickLength;
    const int anchors[] = {std::max(g.line - reach, 0), g.line - 1, g.line + 1,
                           std::min(g.line + reach, e.pictureWidth)};
    drawAxisText(e, anchors[g.record - 1], row, caption,
                 g.record <= 2 ? HorizontalAlign::Left : HorizontalAlign::Right,
                 VerticalAlign::Bottom);
}

// Running mean of the drawn windows of the y axes drawn so far in the area.
void averageYZoomWindow(PlotArea& area, const FractionWindow& drawn) {
    const int n = ++area.drawnYAxisCount;
    area.zoomWindow.yLow = ((n - 1) * area.zoomWindow.yLow + drawn.low) / n;
    area.zoomWindow.yHigh = ((n - 1) * area.zoomWindow.yHigh + drawn.high) / n;
}

// Whether the axis is drawn: an x axis also not after a y axis of the same area. A y axis
// decides whether world lines may follow.
bool accept(EngineState& e, const plot::AxisDescription& axis) {
    const bool horizontal = axis.kind == plot::AxisKind::X;
    const bool accepted =
        axis.start != axis.end && e.area().areaValid && std::abs(axis.side) <= (horizontal ? 4 : 8);
    if (horizontal) {
        if (!accepted || e.enginePhase > 3)
            return false;
        e.enginePhase = 3;
        return true;
    }
    e.axesReady = accepted;
    if (accepted)
        e.enginePhase = 4;
    return accepted;
}

} // namespace

void drawAxis(EngineState& e, const plot::AxisDescription& axis) {
    if (e.targetCanvas == nullptr)
        return;
    finishGraph(e);
    e.picturePixelMode = false;
    if (!accept(e, axis))
        return;
    const int side = axis.side == 0 ? 1 : std::abs(axis.side);
    const bool logarithmic = axis.logarithmic && axis.start > 0 && axis.end > 0;

    Canvas& c = *e.targetCanvas;
    Mapping& m = e.currentMapping;
    PlotArea& area = e.area();
    const AxisGeometry g = axis.kind == plot::AxisKind::X ? xGeometry(m, side) : yGeometry(m, side);
    double& mapMin = g.horizontal ? m.xMin : m.yMin;
    double& mapMax = g.horizontal ? m.xMax : m.yMax;
    bool& mapLog = g.horizontal ? m.xLog : m.yLog;
    double& mapLogSpan = g.horizontal ? m.xLogSpan : m.yLogSpan;
    const auto position = [&m, &g](double v) {
        return g.sign * ((g.horizontal ? mapX(m, v) : mapY(m, v)) - g.origin);
    };

    const AxisColours colours = applyAxisColour(e, axis.colour);
    TickPainter painter(e, g, colours, axis.gridOn);
    // Only an x caption carries a unit suffix for its labels.
    const CaptionParts parts =
        g.horizontal ? splitCaption(axis.caption) : CaptionParts{axis.caption, {}};
    const int extendMode = logarithmic ? 0 : static_cast<int>(axis.extend);
    const TickLengthPair ticks = tickLengths(e.charWidth, e.settings.value(g.majorTicSize),
                                             e.settings.value(g.minorTicSize));
    e.majorTickLength = ticks.major;
    e.minorTickLength = ticks.minor;
    const double leastZoomFraction = 1.0 / e.settings.value(Setting::MaxZoomDepth);

    if (colours.visible) {
        const int end = g.origin + g.sign * (g.length + 1);
        if (g.horizontal) {
            c.moveTo(g.origin, g.line);
            c.lineTo(end, g.line);
        } else {
            c.moveTo(g.line, g.origin);
            c.lineTo(g.line, end);
        }
    }

    const FractionWindow zoom = area.axisRecord[static_cast<std::size_t>(g.record)].axisZoomWindow;
    const AxisRange range =
        shownRange(axis.start, axis.end, zoom, logarithmic, e.settings.value(Setting::MinLogRatio));
    mapMin = range.min;
    mapMax = range.max;
    mapLog = range.log;
    FractionWindow drawnWindow = zoom;
    DrawnAxis drawn;
    // The x axis sets its least zoom fraction anew; of the y axes, the first in the area.
    double& minZoomFraction = g.horizontal ? area.minZoomFractionX : area.minZoomFractionY;
    const bool setsMinZoomFraction = g.horizontal || minZoomFraction == 0;

    if (!range.log) {
        const LabelFormat format = prepareLabelFormat(e, axis.fixedFormat, false, g.sciLabels);
        if (setsMinZoomFraction)
            minZoomFraction =
                std::max(axis.resolution / std::fabs(axis.end - axis.start), leastZoomFraction);
        double low = mapMin, high = mapMax, step = axis.minimumStep;
        int pitch = 0;
        if (g.horizontal) {
            const int suffixWidth = parts.unitSuffix.empty() ? 0 : c.textWidth(parts.unitSuffix);
            pitch = labelPitch(e.charWidth,
                               e.settings.value(axis.fixedFormat ? Setting::LabelDistXFloat
                                                                 : Setting::LabelDistXExp),
                               suffixWidth);
        } else {
            pitch = labelPitch(e.charHeight, e.settings.value(Setting::LabelDistY));
        }
        const TickSteps steps = chooseTickSteps(low, high, step, g.length, pitch, extendMode);
        const bool widened = low != mapMin || high != mapMax;
        mapMin = low;
        mapMax = high;
        drawn.unitsPerPixel = (mapMax - mapMin) / g.length;
        drawn.minimumStep = step;
        drawn.minimumStepDecimals = decimalsFor(step);
        drawn.labelDecimals = labelDecimals(steps.decimals, drawn.minimumStepDecimals);
        mapLogSpan = 1.0;

        LinearLabelStyle style;
        style.fixedFormat = axis.fixedFormat;
        style.unitSuffix = parts.unitSuffix;
        style.suppressZero = e.settings.rounded(g.doNotPlotZero) == 1;
        walkLinearTicks(
            mapMin, steps.major, steps.minor, g.length, position, [&](const LinearTick& tick) {
                const int p = g.origin + g.sign * tick.position;
                if (!tick.major) {
                    painter.minor(p);
                    return;
                }
                const double shown = range.reversed ? -tick.value : tick.value;
                painter.major(
                    p, linearTickLabel(format, style, drawn.labelDecimals, steps.major, shown),
                    !g.horizontal && applyZeroRule(tick.value, steps.major) == 0);
            });
        drawn.labelDecimals = decimalsFor(drawn.unitsPerPixel);
        if (range.reversed) {
            mapMin = -mapMin;
            mapMax = -mapMax;
        }
        if (widened)
            drawnWindow = widenedWindow(axis.start, axis.end, mapMin, mapMax);
    } else {
        const LabelFormat format = prepareLabelFormat(e, axis.fixedFormat, true, g.sciLabels);
        if (setsMinZoomFraction)
            minZoomFraction = leastZoomFraction;
        mapLogSpan = std::log(mapMax / mapMin);
        const double ratio = std::max(mapMin, mapMax) / std::min(mapMin, mapMax);
        const int level =
            logFinenessLevel(g.length, e.settings.value(g.finenessLog), ratio, c.font.size);
        walkLogTicks(
            mapMin, mapMax, g.length, level, g.horizontal, position, [&](const LogTick& tick) {
                const int p = g.origin + g.sign * tick.position;
                if (!tick.isLong) {
                    painter.minor(p);
                    return;
                }
                painter.major(p,
                              tick.labelled
                                  ? decadeLabel(tick.exponent, tick.digit, format.exponentLetter) +
                                        parts.unitSuffix
                                  : std::string(),
                              false);
            });
        drawn.unitsPerPixel = std::pow(ratio, 1.0 / g.length);
        drawn.minimumStep = 0;
        drawn.minimumStepDecimals = 99;
        drawn.labelDecimals = decimalsFor(drawn.unitsPerPixel - 1) + 1;
    }

    if (g.captioned && colours.visible && !parts.caption.empty())
        drawCaption(e, g, painter, parts.caption);
    // A y axis hands the series that follow a pen in copy mode.
    if (!g.horizontal)
        c.pen.mode = PenMode::Copy;

    drawn.colour = colours.colour;
    drawn.min = mapMin;
    drawn.max = mapMax;
    drawn.log = mapLog;
    drawn.logSpan = mapLogSpan;
    drawn.pixelOrigin = g.origin;
    drawn.pixelLength = g.length;
    drawn.drawnWindow = drawnWindow;
    storeAxisRecord(e, g.record, drawn);
    if (g.horizontal) {
        area.zoomWindow.xLow = drawnWindow.low;
        area.zoomWindow.xHigh = drawnWindow.high;
        area.drawnYAxisCount = 0;
    } else {
        averageYZoomWindow(area, drawnWindow);
    }
    e.settings.expire(SettingEvent::Axis);
}

} // namespace plot
