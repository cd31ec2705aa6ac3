// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stability_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace app {
namespace {

struct KindStyle {
    plot::Color colour;
    int symbol;
};

KindStyle styleOf(analysis::Deviation kind) {
    static constexpr std::array<KindStyle, 4> kStyles{
        KindStyle{plot::kRed, 1}, KindStyle{plot::kGreen, 2}, KindStyle{plot::kFuchsia, 3},
        KindStyle{plot::kTeal, 4}};
    return kStyles[static_cast<std::size_t>(kind)];
}

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

graph::AxisSettings logAxis(const char* caption, const Bounds& bounds) {
    return {.caption = caption,
            .autoRange = false,
            .fixedFrom = bounds.lower / kLogMargin,
            .fixedTo = bounds.upper * kLogMargin,
            .logarithmic = true};
}

bool plottable(const analysis::DeviationPoint& point) {
    return point.tau > 0 && point.value > 0 && std::isfinite(point.value);
}

} // namespace

StabilityPlot::StabilityPlot(QWidget* parent) : graph::XyPlot(parent) {
    plot::PlotAreaLayout area = areaLayout();
    area.leftPercent = 20;
    setAreaLayout(area);
    setFixedNumberFormat(false);
    showPoints({});
}

void StabilityPlot::showPoints(std::span<const analysis::DeviationPoint> points) {
    traces().clear();
    Bounds tau;
    Bounds value;
    std::optional<analysis::Deviation> lineKind;
    for (const analysis::DeviationPoint& point : points) {
        if (!plottable(point)) {
            continue;
        }
        const KindStyle style = styleOf(point.kind);
        if (lineKind != point.kind) {
            lineKind = point.kind;
            graph::Trace line;
            line.colour = style.colour;
            line.symbol = style.symbol;
            traces().push_back(std::move(line));
        }
        traces().back().points.add({point.tau, point.value});
        tau.include(point.tau);
        value.include(point.value);
        if (point.hasInterval && point.lower > 0 && point.upper > point.lower) {
            graph::Trace bar;
            bar.colour = style.colour;
            bar.symbolOn = false;
            bar.points.add({point.tau, point.lower});
            bar.points.add({point.tau, point.upper});
            value.include(point.lower);
            value.include(point.upper);
            // Behind the lines, so the points stay on top; the line trace stays last.
            traces().insert(traces().end() - 1, std::move(bar));
        }
    }
    const bool any = tau.valid() && value.valid();
    setXAxis(logAxis("tau/s", any ? tau : kEmptyTau));
    setLeftAxis(logAxis("deviation (TDEV/s)", any ? value : kEmptyDeviation));
    invalidate();
}

} // namespace app
