// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/plot_view.h"
#include "graph/stability_curves.h"
#include "graph/stability_drawing.h"
#include "plot/canvas.h"

#include <span>
#include <string>

namespace app {

// One plot of the "Stability" page: the deviations of one unit against tau as a
// graph::StabilityDrawing, the picture talvek-cli stability --plot draws too.
class StabilityPlot : public graph::PlotView {
    Q_OBJECT
public:
    explicit StabilityPlot(QWidget* parent = nullptr);

    // yCaption names the unit of what is plotted.
    void showCurves(std::span<const graph::StabilityCurve> curves, const std::string& yCaption);
    // The font of the axis texts and the legend at the plot's height.
    plot::Font textFont() const;
    // Axes, colours and sizes as last drawn.
    const graph::GraphLook& look() const { return drawing_.look(); }

protected:
    void drawPicture(plot::PlotEngine& engine, plot::Canvas& canvas) override;

private:
    graph::StabilityDrawing drawing_;
};

} // namespace app
