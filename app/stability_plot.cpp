// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stability_plot.h"

namespace app {

StabilityPlot::StabilityPlot(QWidget* parent) : graph::PlotView(parent) {}

void StabilityPlot::showCurves(std::span<const graph::StabilityCurve> curves,
                               const std::string& yCaption) {
    drawing_.setCurves(curves, yCaption);
    invalidate();
}

plot::Font StabilityPlot::textFont() const {
    return graph::StabilityDrawing::textFont(height());
}

void StabilityPlot::drawPicture(plot::PlotEngine& engine, plot::Canvas& canvas) {
    drawing_.draw(engine, canvas);
}

} // namespace app
