// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/deviation.h"
#include "graph/xy_plot.h"

#include <span>

namespace app {

// The deviations against tau on logarithmic axes: per deviation a line through its points, and
// each point's confidence interval as a vertical bar in the same colour. A point that is not
// above zero has no place on a logarithmic axis and is left out.
class StabilityPlot : public graph::XyPlot {
    Q_OBJECT
public:
    explicit StabilityPlot(QWidget* parent = nullptr);

    void showPoints(std::span<const analysis::DeviationPoint> points);
};

} // namespace app
