// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/axis_labels.h"
#include "plot/colors.h"
#include "plot/engine_state.h"

#include <string>

namespace plot {

// Pieces of the axis drawing.

constexpr Color kAxisInBackColour = -255;

struct AxisColours {
    bool visible = true;
    Color colour = kBlack; // axis, labels, caption and grid
};

// The colour rule; also gives pen and font the axis colour and clears the brush.
AxisColours applyAxisColour(EngineState& e, Color colour);

// The world range shown: the zoom window of the full range start..end. A reversed linear range is
// negated (Reversed set) so that Min < Max; a logarithmic one keeps its order. A logarithmic
// request with an end <= 0 or a ratio below minLogRatio gives a linear range.
struct AxisRange {
    double min = 0;
    double max = 0;
    bool log = false;
    bool reversed = false;
};
AxisRange shownRange(double start, double end, const FractionWindow& window, bool logarithmic,
                     double minLogRatio);

// Caption and unit suffix of an axis caption "Caption|suffix".
struct CaptionParts {
    std::string caption;
    std::string unitSuffix;
};
CaptionParts splitCaption(const std::string& caption);

// The label format of the axis about to be drawn.
LabelFormat prepareLabelFormat(const EngineState& e, bool fixedFormat, bool logarithmic,
                               Setting commonFactorSetting);

// Decimals the labels are written with: those of the steps, fewer when the minimum step has fewer.
int labelDecimals(int stepDecimals, int minimumStepDecimals);

// What the axis leaves in its record for zoom and ruler.
struct DrawnAxis {
    Color colour = kBlack;
    double min = 0;
    double max = 0;
    bool log = false;
    double logSpan = 0;
    int pixelOrigin = 0;
    int pixelLength = 0;
    double unitsPerPixel = 0;
    double minimumStep = 0;
    int labelDecimals = 0;
    int minimumStepDecimals = 99;
    FractionWindow drawnWindow;
};
void storeAxisRecord(EngineState& e, int index, const DrawnAxis& drawn);

// Drawn window of an axis whose ends were widened from start..end to min..max (world values at
// the axis origin and end).
FractionWindow widenedWindow(double start, double end, double min, double max);

} // namespace plot
