// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/deviation.h"
#include "graph/drawing.h"
#include "graph/graph_look.h"
#include "graph/legend.h"
#include "graph/stability_curves.h"
#include "graph/trace.h"
#include "plot/canvas.h"
#include "plot/mapping.h"

#include <QPointF>
#include <QRect>
#include <QSize>
#include <span>
#include <string>
#include <vector>

namespace graph {

// Deviations of one unit against tau on logarithmic axes: per curve a line through its points, and
// each point's confidence interval as a vertical bar in the curve's colour, with a legend naming
// the curves in the corner of the plot area the curves leave freest (top right where they leave
// it free). A point that is not above zero has no place on a logarithmic axis and is left out.
// A short picture has smaller texts and keeps the room they need above and below the plot area.
class StabilityDrawing : public Drawing {
public:
    StabilityDrawing();

    // yCaption names the unit of what is plotted.
    void setCurves(std::span<const StabilityCurve> curves, const std::string& yCaption);
    // Axes, colours and sizes as last drawn.
    const GraphLook& look() const { return look_; }
    // The font of the axis texts and the legend in a picture `height` pixels high.
    static plot::Font textFont(int height);

    void draw(plot::PlotEngine& engine, plot::Canvas& canvas) override;

private:
    void fitTexts(plot::Canvas& canvas);
    void drawLegend(const plot::Mapping& area, plot::Canvas& canvas) const;

    GraphLook look_;
    TraceList traces_;
    std::vector<LegendEntry> legend_;
    // Where the curves run, as fractions of the axes' ranges (0 .. 1, y upwards), for the legend.
    std::vector<QPointF> shape_;
};

// Where the plot of the fractional deviations and the one of those in seconds stand in an area of
// `size` when `kinds` are shown: the fractional one on top, the one in seconds below, each half the
// height; one alone where only its unit is chosen (the fractional one when none is).
struct StabilityPlaces {
    bool fractionalShown = true;
    bool secondsShown = false;
    QRect fractional;
    QRect seconds;
};
StabilityPlaces stabilityPlaces(QSize size, std::span<const analysis::Deviation> kinds);

} // namespace graph
