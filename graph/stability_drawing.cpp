// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/stability_drawing.h"

#include "graph/xy_drawing.h"
#include "plot/rounding.h"
#include "plot/symbols.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace graph {
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

AxisSettings logAxis(const std::string& caption, const Bounds& bounds) {
    return {.caption = caption,
            .autoRange = false,
            .fixedFrom = bounds.lower / kLogMargin,
            .fixedTo = bounds.upper * kLogMargin,
            .logarithmic = true};
}

bool plottable(const analysis::DeviationPoint& point) {
    return point.tau > 0 && point.value > 0 && std::isfinite(point.value);
}

// Points sampled along each line between two points, for finding where the curves run.
constexpr int kSegmentSamples = 8;

// Below this height the texts are 8 points instead of 12.
constexpr int kShortPlotHeight = 250;
constexpr double kTallFontScale = 1.5;
constexpr double kShortFontScale = 1.0;
// Room for the y caption above the plot area and for the x labels and caption below it, in lines.
constexpr double kLinesAbove = 2.2;
constexpr double kLinesBelow = 2.6;
constexpr plot::PlotAreaLayout kArea{
    .leftPercent = 20, .rightPercent = 90, .topPercent = 10, .bottomPercent = 80};

double fontScaleFor(int height) {
    return height < kShortPlotHeight ? kShortFontScale : kTallFontScale;
}

double logFraction(double value, double from, double to) {
    return std::log(value / from) / std::log(to / from);
}

bool anyOfUnit(std::span<const analysis::Deviation> kinds, analysis::DeviationUnit unit) {
    return std::ranges::any_of(kinds, [unit](analysis::Deviation kind) {
        return analysis::deviationDescription(kind).unit == unit;
    });
}

} // namespace

StabilityDrawing::StabilityDrawing() {
    look_.areaLayout = kArea;
    look_.fixedNumberFormat = false;
    setCurves({}, "");
}

plot::Font StabilityDrawing::textFont(int height) {
    plot::Font font;
    font.size = plot::roundHalfEven(8 * fontScaleFor(height));
    return font;
}

void StabilityDrawing::setCurves(std::span<const StabilityCurve> curves,
                                 const std::string& yCaption) {
    traces_.clear();
    legend_.clear();
    shape_.clear();
    Bounds tau;
    Bounds value;
    for (const StabilityCurve& curve : curves) {
        Trace line;
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
                Trace bar;
                bar.colour = curve.colour;
                bar.symbolOn = false;
                bar.points.add({point.tau, point.lower});
                bar.points.add({point.tau, point.upper});
                value.include(point.lower);
                value.include(point.upper);
                // Behind the lines, so the points stay on top.
                traces_.push_back(std::move(bar));
            }
        }
        if (!line.points.empty()) {
            legend_.push_back({curve.label, curve.colour, curve.symbol});
            traces_.push_back(std::move(line));
        }
    }
    // Lines after all bars: a bar of one curve never hides another curve's points.
    std::ranges::stable_partition(traces_, [](const Trace& t) { return !t.symbolOn; });
    const bool any = tau.valid() && value.valid();
    look_.xAxis = logAxis("tau/s", any ? tau : kEmptyTau);
    look_.leftAxis = logAxis(yCaption, any ? value : kEmptyDeviation);
    const auto fraction = [this](double x, double y) {
        return QPointF(logFraction(x, look_.xAxis.fixedFrom, look_.xAxis.fixedTo),
                       logFraction(y, look_.leftAxis.fixedFrom, look_.leftAxis.fixedTo));
    };
    for (const Trace& trace : traces_) {
        for (std::size_t i = 0; i < trace.points.size(); ++i) {
            const Point to = trace.points[i];
            if (i == 0) {
                shape_.push_back(fraction(to.x, to.y));
                continue;
            }
            const Point from = trace.points[i - 1];
            for (int k = 1; k <= kSegmentSamples; ++k) {
                const double share = static_cast<double>(k) / kSegmentSamples;
                shape_.push_back(fraction(from.x * std::pow(to.x / from.x, share),
                                          from.y * std::pow(to.y / from.y, share)));
            }
        }
    }
}

void StabilityDrawing::draw(plot::PlotEngine& engine, plot::Canvas& canvas) {
    fitTexts(canvas);
    drawXyGraph(engine, canvas, look_, traces_);
    drawLegend(engine.mapping(), canvas);
}

// The share of the height the area leaves above and below stays where it gives the texts room.
void StabilityDrawing::fitTexts(plot::Canvas& canvas) {
    const int height = canvas.height();
    look_.fontScale = fontScaleFor(height);
    canvas.font = textFont(height);
    const int line = canvas.textHeight("Xg");
    plot::PlotAreaLayout area = kArea;
    const int above = static_cast<int>(kLinesAbove * line);
    const int below = static_cast<int>(kLinesBelow * line);
    if (height * area.topPercent / 100 < above) {
        area.topPercent = 0;
        area.topPixels = above;
    }
    if (height * (100 - area.bottomPercent) / 100 < below) {
        area.bottomPercent = 100;
        area.bottomPixels = below;
    }
    look_.areaLayout = area;
}

// Onto the picture over the plot area, so the legend is part of what the plot shows wherever it
// goes; in the corner the curves leave freest.
void StabilityDrawing::drawLegend(const plot::Mapping& area, plot::Canvas& canvas) const {
    canvas.font = textFont(canvas.height());
    graph::drawLegend(
        canvas, area, legend_, look_.backColour, look_.symbolSize, [this, &area](const QRect& box) {
            return std::ranges::count_if(shape_, [&](QPointF f) {
                const QPoint at(area.mapLeft + static_cast<int>(f.x() * area.mapWidth),
                                area.mapBottom - static_cast<int>(f.y() * area.mapHeight));
                return box.contains(at);
            });
        });
}

StabilityPlaces stabilityPlaces(QSize size, std::span<const analysis::Deviation> kinds) {
    StabilityPlaces places;
    places.secondsShown = anyOfUnit(kinds, analysis::DeviationUnit::Seconds);
    places.fractionalShown =
        !places.secondsShown || anyOfUnit(kinds, analysis::DeviationUnit::Fractional);
    const int height = size.height();
    const int fractionalHeight = !places.fractionalShown ? 0
                                 : places.secondsShown   ? height / 2
                                                         : height;
    places.fractional = QRect(0, 0, size.width(), fractionalHeight);
    places.seconds = QRect(0, fractionalHeight, size.width(), height - fractionalHeight);
    return places;
}

} // namespace graph
