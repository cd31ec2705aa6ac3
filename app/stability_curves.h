// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/deviation.h"
#include "analysis/stability.h"
#include "plot/colors.h"

#include <span>
#include <string>
#include <vector>

namespace app {

// One set of results the page shows, under the name of the measurement it comes from.
struct StabilityRun {
    std::string name;
    analysis::StabilityResult result;
};

// One deviation of one run as the plot draws it and its legend names it.
struct StabilityCurve {
    std::string label;
    plot::Color colour = plot::kRed;
    int symbol = 1;
    std::vector<analysis::DeviationPoint> points; // ascending tau
};

struct CurveStyle {
    plot::Color colour;
    int symbol;
};
// Each deviation has a colour of its own, none of them the axes' blue or the text's black.
CurveStyle curveStyle(analysis::Deviation kind);

// The curves of the deviations in `unit`: per run and deviation, in the order of the points. The
// label is the deviation's name, after the run's name where there are several runs.
std::vector<StabilityCurve> stabilityCurves(std::span<const StabilityRun> runs,
                                            analysis::DeviationUnit unit);

} // namespace app
