// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/stability_curves.h"
#include "graph/xy_plot.h"
#include "plot/canvas.h"

#include <span>
#include <string>
#include <vector>

namespace app {

// Deviations of one unit against tau on logarithmic axes: per curve a line through its points, and
// each point's confidence interval as a vertical bar in the curve's colour, with a legend naming
// the curves in the corner of the plot area the curves leave freest (top right where they leave
// it free). A point that is not above zero has no place on a logarithmic axis and is left out.
// A short plot has smaller texts and keeps the room they need above and below the plot area.
class StabilityPlot : public graph::XyPlot {
    Q_OBJECT
public:
    explicit StabilityPlot(QWidget* parent = nullptr);

    // yCaption names the unit of what is plotted.
    void showCurves(std::span<const StabilityCurve> curves, const std::string& yCaption);
    // The font of the axis texts and the legend.
    plot::Font textFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct LegendEntry {
        std::string label;
        plot::Color colour;
        int symbol;
    };
    void fitTexts();
    QRect legendBox(QSize size) const;
    QRect drawLegend();

    std::vector<LegendEntry> legend_;
    // Where the curves run, as fractions of the axes' ranges (0 .. 1, y upwards), for the legend.
    std::vector<QPointF> shape_;
};

} // namespace app
