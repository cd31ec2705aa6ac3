#pragma once

#include "graph/point_array.h"
#include "plot/colors.h"

#include <cstdint>
#include <vector>

// One trace of the graph: its points and how it is drawn.
struct TTrace {
    TPointArray Points;
    plot::Color Color = plot::kBlue;
    std::int32_t Symbol = 1;
    bool LineOn = true;
    bool SymbolOn = true;
    bool Visible = true;
    bool RightAxis = false;

    // Only a visible trace that draws something and has points is ranged and drawn.
    bool Counts() const { return Visible && (LineOn || SymbolOn) && !Points.Empty(); }
};

using TTraceArray = std::vector<TTrace>;
