// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stability_plot.h"

#include "plot/rounding.h"
#include "plot/symbols.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace app {
namespace {

// The axes reach a little beyond the outermost points and bars, by a factor on a log axis.
constexpr double kLogMargin = 1.5;

struct Bounds {
    double lower = std::numeric_limits<double>::infinity();
    double upper = 0;

    void include(double value) {
        lower = std::min(lower, value);
        upper = std::max(upper, value);
    }
    bool valid() const { return upper > 0 && lower <= upper; }
};

// The axes of a plot without points.
constexpr Bounds kEmptyTau{0.1, 100};
constexpr Bounds kEmptyDeviation{1e-12, 1e-6};

graph::AxisSettings logAxis(const std::string& caption, const Bounds& bounds) {
    return {.caption = caption,
            .autoRange = false,
            .fixedFrom = bounds.lower / kLogMargin,
            .fixedTo = bounds.upper * kLogMargin,
            .logarithmic = true};
}

bool plottable(const analysis::DeviationPoint& point) {
    return point.tau > 0 && point.value > 0 && std::isfinite(point.value);
}

// Legend geometry in pixels.
constexpr int kLegendInset = 6;
constexpr int kLegendPadding = 4;
constexpr int kLegendSample = 24;

} // namespace

StabilityPlot::StabilityPlot(QWidget* parent) : graph::XyPlot(parent) {
    plot::PlotAreaLayout area = areaLayout();
    area.leftPercent = 20;
    setAreaLayout(area);
    setFixedNumberFormat(false);
    showCurves({}, "");
}

plot::Font StabilityPlot::textFont() const {
    plot::Font font;
    font.size = plot::roundHalfEven(8 * fontScale());
    return font;
}

void StabilityPlot::showCurves(std::span<const StabilityCurve> curves,
                               const std::string& yCaption) {
    traces().clear();
    legend_.clear();
    Bounds tau;
    Bounds value;
    for (const StabilityCurve& curve : curves) {
        graph::Trace line;
        line.colour = curve.colour;
        line.symbol = curve.symbol;
        for (const analysis::DeviationPoint& point : curve.points) {
            if (!plottable(point)) {
                continue;
            }
            line.points.add({point.tau, point.value});
            tau.include(point.tau);
            value.include(point.value);
            if (point.hasInterval && point.lower > 0 && point.upper > point.lower) {
                graph::Trace bar;
                bar.colour = curve.colour;
                bar.symbolOn = false;
                bar.points.add({point.tau, point.lower});
                bar.points.add({point.tau, point.upper});
                value.include(point.lower);
                value.include(point.upper);
                // Behind the lines, so the points stay on top.
                traces().push_back(std::move(bar));
            }
        }
        if (!line.points.empty()) {
            legend_.push_back({curve.label, curve.colour, curve.symbol});
            traces().push_back(std::move(line));
        }
    }
    // Lines after all bars: a bar of one curve never hides another curve's points.
    std::ranges::stable_partition(traces(), [](const graph::Trace& t) { return !t.symbolOn; });
    const bool any = tau.valid() && value.valid();
    setXAxis(logAxis("tau/s", any ? tau : kEmptyTau));
    setLeftAxis(logAxis(yCaption, any ? value : kEmptyDeviation));
    invalidate();
}

void StabilityPlot::paintEvent(QPaintEvent* event) {
    XyPlot::paintEvent(event);
    const QRect legend = drawLegend();
    if (!legend.isEmpty()) {
        QPainter(this).drawImage(legend.topLeft(), picture(), legend);
    }
}

// Onto the picture, so the legend is part of what the plot shows wherever it goes.
QRect StabilityPlot::drawLegend() {
    if (legend_.empty()) {
        return {};
    }
    plot::Canvas& canvas = engineCanvas();
    canvas.font = textFont();
    const int lineHeight = canvas.textHeight("Xg");
    int textWidth = 0;
    for (const LegendEntry& entry : legend_) {
        textWidth = std::max(textWidth, canvas.textWidth(entry.label));
    }
    const int boxWidth = 3 * kLegendPadding + kLegendSample + textWidth;
    const int boxHeight = 2 * kLegendPadding + lineHeight * static_cast<int>(legend_.size());
    const int right = width() * areaLayout().rightPercent / 100 - kLegendInset;
    const int top = height() * areaLayout().topPercent / 100 + kLegendInset;
    const QRect box(right - boxWidth, top, boxWidth, boxHeight);
    canvas.pen = plot::Pen{.color = plot::kBlack};
    canvas.brush = plot::Brush{.color = backColour()};
    canvas.rectangle(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
    int y = box.top() + kLegendPadding;
    for (const LegendEntry& entry : legend_) {
        const int middle = y + lineHeight / 2;
        const int sampleLeft = box.left() + kLegendPadding;
        canvas.pen = plot::Pen{.color = entry.colour};
        for (int row : {middle - 1, middle}) {
            canvas.moveTo(sampleLeft, row);
            canvas.lineTo(sampleLeft + kLegendSample, row);
        }
        plot::drawSymbolRecord(canvas,
                               {.x = sampleLeft + kLegendSample / 2,
                                .y = middle,
                                .kind = static_cast<std::uint16_t>(entry.symbol),
                                .size = static_cast<std::uint16_t>(symbolSize()),
                                .fill = 0,
                                .penWidth = 1,
                                .colour = entry.colour},
                               backColour());
        canvas.textOut(sampleLeft + kLegendSample + kLegendPadding, y, entry.label);
        y += lineHeight;
    }
    return box;
}

} // namespace app
