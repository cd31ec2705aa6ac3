#include "app/stability_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace app {
namespace {

struct KindStyle {
    TColor colour;
    int symbol;
};

KindStyle styleOf(analysis::Deviation kind) {
    static constexpr std::array<KindStyle, 4> kStyles{
        KindStyle{clRed, 1}, KindStyle{clGreen, 2}, KindStyle{clFuchsia, 3}, KindStyle{clTeal, 4}};
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

bool plottable(const analysis::DeviationPoint& point) {
    return point.tau > 0 && point.value > 0 && std::isfinite(point.value);
}

} // namespace

StabilityPlot::StabilityPlot(QWidget* parent) : TXYPlot(parent) {
    X_Caption = "tau/s";
    Y_Left_Caption = "deviation (TDEV/s)";
    X_Auto = false;
    Y_Left_Auto = false;
    XY_LeftPerCent = 20;
    XY_FixedNumberFormat = false;
    showPoints({});
}

void StabilityPlot::showPoints(std::span<const analysis::DeviationPoint> points) {
    Traces.clear();
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
            TTrace line;
            line.Color = style.colour;
            line.Symbol = style.symbol;
            Traces.push_back(std::move(line));
        }
        Traces.back().Points.Add({point.tau, point.value});
        tau.include(point.tau);
        value.include(point.value);
        if (point.hasInterval && point.lower > 0 && point.upper > point.lower) {
            TTrace bar;
            bar.Color = style.colour;
            bar.SymbolOn = false;
            bar.Points.Add({point.tau, point.lower});
            bar.Points.Add({point.tau, point.upper});
            value.include(point.lower);
            value.include(point.upper);
            // Behind the lines, so the points stay on top; the line trace stays last.
            Traces.insert(Traces.end() - 1, std::move(bar));
        }
    }
    if (tau.valid() && value.valid()) {
        X_0 = tau.lower / kLogMargin;
        X_1 = tau.upper * kLogMargin;
        Y_Left_0 = value.lower / kLogMargin;
        Y_Left_1 = value.upper * kLogMargin;
    } else {
        X_0 = 0.1;
        X_1 = 100;
        Y_Left_0 = 1e-12;
        Y_Left_1 = 1e-6;
    }
    Invalidate();
}

} // namespace app
