#include "plot/unzoom.h"

void Unzoom(EngineState& e, int area) {
    if (area < 0 || area > kMaxPlotAreas) {
        return;
    }
    const int first = area == 0 ? 1 : area;
    const int last = area == 0 ? kMaxPlotAreas : area;
    for (int i = first; i <= last; ++i) {
        TPlotArea& a = e.PlotArea[i];
        a.ZoomWindow = TZoomWindow{};
        for (TAxisRecord& axis : a.AxisRecord) {
            axis.AxisZoomWindow = TFractionWindow{};
            axis.DrawnWindow = TFractionWindow{};
        }
    }
    if (area == 0 || area == e.LastZoomedArea) {
        e.LastZoomedArea = 0;
    }
}
