#pragma once

#include "plot/axis_labels.h"
#include "plot/colors.h"
#include "plot/engine_state.h"

#include <string>

// Pieces of the axis drawing.

constexpr TColor kAxisInBackColour = -255;

struct TAxisColours {
    bool Visible = true;
    TColor Colour = clBlack; // axis, labels, caption and grid
};

// The colour rule; also gives pen and font the axis colour and clears the brush.
TAxisColours ApplyAxisColour(EngineState& e, TColor colour);

// The world range shown: the zoom window of the full range start..end. A reversed linear range is
// negated (Reversed set) so that Min < Max; a logarithmic one keeps its order. A logarithmic
// request with an end <= 0 or a ratio below minLogRatio gives a linear range.
struct TAxisRange {
    double Min = 0;
    double Max = 0;
    bool Log = false;
    bool Reversed = false;
};
TAxisRange ShownRange(double start, double end, const TFractionWindow& window, bool logarithmic,
                      double minLogRatio);

// Caption and unit suffix of an axis caption "Caption|suffix".
struct TCaptionParts {
    std::string Caption;
    std::string UnitSuffix;
};
TCaptionParts SplitCaption(const std::string& caption);

// The label format of the axis about to be drawn.
LabelFormat PrepareLabelFormat(const EngineState& e, bool fixedFormat, bool logarithmic,
                               Setting commonFactorSetting);

// Decimals the labels are written with: those of the steps, fewer when the minimum step has fewer.
int LabelDecimals(int stepDecimals, int minimumStepDecimals);

// What the axis leaves in its record for zoom and ruler.
struct TDrawnAxis {
    TColor Colour = clBlack;
    double Min = 0;
    double Max = 0;
    bool Log = false;
    double LogSpan = 0;
    int PixelOrigin = 0;
    int PixelLength = 0;
    double UnitsPerPixel = 0;
    double MinimumStep = 0;
    int LabelDecimals = 0;
    int MinimumStepDecimals = 99;
    TFractionWindow DrawnWindow;
};
void StoreAxisRecord(EngineState& e, int index, const TDrawnAxis& drawn);

// Drawn window of an axis whose ends were widened from start..end to min..max (world values at
// the axis origin and end).
TFractionWindow WidenedWindow(double start, double end, double min, double max);
