// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/deviation.h"
#include "analysis/stability.h"
#include "plot/colors.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace graph {

// One set of results a stability plot shows, under the name of the measurement it comes from.
struct StabilityRun {
    std::string name;
    analysis::StabilityResult result;
    // Its colour where several runs are shown; runColour of its place when it has none.
    std::optional<plot::Color> colour;
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
// The colour of the run at `index` where several are shown: mid-tones, none the axes' blue or the
// text's black, so each stands out on light and dark grounds alike; after the eighth they repeat.
plot::Color runColour(std::size_t index);

// The curves of the deviations in `unit`: per run and deviation, in the order of the points. One
// run's curves have the colours of their deviations and are labelled with its name; where there
// are several runs, each run has its colour, each deviation its symbol, and the label is the
// run's name before the deviation's.
std::vector<StabilityCurve> stabilityCurves(std::span<const StabilityRun> runs,
                                            analysis::DeviationUnit unit);

// The y caption of a plot of the deviations in `unit`: it names the unit.
std::string deviationAxisCaption(analysis::DeviationUnit unit);

} // namespace graph
