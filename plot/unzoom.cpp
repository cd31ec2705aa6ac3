// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/unzoom.h"

namespace plot {

void unzoom(EngineState& e, int area) {
    if (area < 0 || area > kMaxPlotAreas) {
        return;
    }
    const int first = area == 0 ? 1 : area;
    const int last = area == 0 ? kMaxPlotAreas : area;
    for (int i = first; i <= last; ++i) {
        PlotArea& a = e.plotArea[i];
        a.zoomWindow = ZoomWindow{};
        for (AxisRecord& axis : a.axisRecord) {
            axis.axisZoomWindow = FractionWindow{};
            axis.drawnWindow = FractionWindow{};
        }
    }
    if (area == 0 || area == e.lastZoomedArea) {
        e.lastZoomedArea = 0;
    }
}

} // namespace plot
