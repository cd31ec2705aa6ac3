#include "graph/paint_plan.h"
#include "graph/trace_drawing.h"
#include "graph/xy_plot.h"

#include "plot/axes.h"
#include "plot/engine.h"
#include "plot/zoom_ruler.h"

// The whole graph, from a clean start of the engine: frame, x axis, then per y axis that has
// traces the axis and its traces, and the ruler set-up for the mouse.
void TXYPlot::PaintGraph() {
    if (canvas_.Width() != width() || canvas_.Height() != height())
        canvas_.SetSize(width(), height());

    const TPaintPlan plan =
        PlanPaint(Traces, {X_Auto, X_0, X_1, X_ScaleFactor},
                  {Y_Left_Auto, Y_Left_0, Y_Left_1, Y_Left_ScaleFactor},
                  {Y_Right_Auto, Y_Right_0, Y_Right_1, Y_Right_ScaleFactor}, AutoMargin);

    StartGraph(*this, XY_BackColor, XY_FrameColor, Scale);
    SetPlotArea(XY_LeftPerCent, XY_RightPerCent, XY_TopPerCent, XY_BottomPerCent, XY_LeftPixels,
                XY_RightPixels, XY_TopPixels, XY_BottomPixels, XY_ClipOn);
    DrawXAxis(X_Color, X_Caption, 1, plan.X.Lower, plan.X.Upper, 0.0, 0.0, xGridOn_, false,
              XY_FixedNumberFormat, 0);
    if (!plan.Left.empty()) {
        DrawYAxis(Y_Left_Color, Y_Left_Caption, 1, plan.YLeft.Lower, plan.YLeft.Upper, 0.0, 0.0,
                  yLeftGridOn_, false, XY_FixedNumberFormat, 0);
        DrawTraceList(plan.Left, Y_Left_ScaleFactor);
    }
    if (!plan.Right.empty()) {
        DrawYAxis(Y_Right_Color, Y_Right_Caption, 4, plan.YRight.Lower, plan.YRight.Upper, 0.0, 0.0,
                  yRightGridOn_, false, XY_FixedNumberFormat, 0);
        DrawTraceList(plan.Right, Y_Right_ScaleFactor);
    }
    FinishGraph();
    SetupRuler(clBlue, XY_Ruler_X, XY_Ruler_Y, 1, 27);
}

void TXYPlot::DrawTraceList(const std::vector<int>& List, double YScaleFactor) {
    std::vector<const TTrace*> traces;
    for (int index : List)
        traces.push_back(&Traces[index]);
    const TTraceStyle style{X_ScaleFactor, YScaleFactor, XY_SymbolSize};
    if (FastDrawing && DrawTracesFast(traces, style))
        return;
    DrawTracesPerPoint(traces, style);
}
