#include "plot/engine.h"

#include "plot/primitives.h"
#include "plot/rounding.h"

#include <algorithm>

namespace {

void ResetInteraction(EngineState& e) {
    e.Owner.SetScreenCursor(TScreenCursor::Default);
    e.RulerEnabled = false;
    e.RulerMode = 0;
    e.RulerSnapX = e.RulerSnapY = false;
    e.RulerSnapStepX = e.RulerSnapStepY = 0.0;
    e.RulerDragging = false;
    e.BandActive = false;
}

} // namespace

void StartGraph(EngineState& e, TColor backColour, TColor frameColour, double scale) {
    // A drag on the last picture ends here; its drawing goes with a clean repaint.
    if (e.RulerDragging) {
        e.Owner.Invalidate();
    }
    e.TargetCanvas = &e.Owner.EngineCanvas();
    e.PictureWidth = e.Owner.EngineWidth();
    e.PictureHeight = e.Owner.EngineHeight();
    ResetInteraction(e);

    Canvas& c = *e.TargetCanvas;
    e.BackColour = e.DefaultBackColour = backColour;
    c.Brush.Color = backColour;
    c.Brush.Style = TBrushStyle::Solid;
    e.ForeColour = e.DefaultForeColour = frameColour;
    c.Pen.Color = frameColour;
    c.Pen.Style = TPenStyle::Solid;
    c.Pen.Width = 1;
    c.Pen.Mode = TPenMode::Copy;

    c.Rectangle(0, 0, e.PictureWidth, e.PictureHeight);

    e.FontScale = scale == 0.0 ? 1.0 : scale;
    c.Font.Size = RoundHalfEven(8 * e.FontScale);
    c.Font.Name = "Arial";
    c.Font.Italic = false;
    c.Font.Bold = false;
    e.CharWidth = c.TextWidth("0");
    e.CharHeight = c.TextHeight("0");
    e.MajorTickLength = e.CharWidth + 1;
    e.MinorTickLength = (e.CharWidth + 1) / 2 + 1;

    for (int i = 1; i <= kMaxPlotAreas; ++i) {
        e.PlotArea[i].AreaValid = false;
        e.PlotArea[i].GridPattern = {4, 7, 4, 7};
    }

    e.AreaCount = 0;
    e.CurrentArea = 0;
    e.AxesReady = false;
    e.SymbolQueue.clear();
    e.PendingDot = TPendingDot{};
    e.EnginePhase = 1;

    e.PicturePixelMode = true;
    c.Pen.Color = e.ForeColour;

    e.Settings.expire(SettingEvent::NextPicture);
}

void SetPlotArea(EngineState& e, const plot::PlotAreaLayout& layout) {
    if (e.TargetCanvas == nullptr) {
        return;
    }
    if (e.AreaCount >= kMaxPlotAreas) {
        e.Area().AreaValid = false;
        return;
    }
    FinishGraph(e);
    e.AreaCount += 1;
    e.CurrentArea = e.AreaCount;
    TPlotArea& area = e.Area();

    int leftPercent = layout.leftPercent;
    int rightPercent = layout.rightPercent;
    int topPercent = layout.topPercent;
    int bottomPercent = layout.bottomPercent;
    if (rightPercent < leftPercent) {
        std::swap(leftPercent, rightPercent);
    }
    area.AreaRect.Left = RoundHalfEven(std::max(leftPercent, 0) / 100.0 * e.PictureWidth);
    area.AreaRect.Right = RoundHalfEven(std::min(rightPercent, 100) / 100.0 * e.PictureWidth);
    if (bottomPercent < topPercent) {
        std::swap(topPercent, bottomPercent);
    }
    area.AreaRect.Top = RoundHalfEven(std::max(topPercent, 0) / 100.0 * e.PictureHeight);
    area.AreaRect.Bottom = RoundHalfEven(std::min(bottomPercent, 100) / 100.0 * e.PictureHeight);

    const int left = area.AreaRect.Left + layout.leftPixels;
    const int right = area.AreaRect.Right - layout.rightPixels;
    const int top = area.AreaRect.Top + layout.topPixels;
    const int bottom = area.AreaRect.Bottom - layout.bottomPixels;

    TMapping& m = e.CurrentMapping;
    m.MapLeft = left;
    m.MapWidth = right - left;
    m.MapBottom = bottom;
    m.MapHeight = bottom - top;
    area.AreaValid = m.MapWidth >= 1 && m.MapHeight >= 1;

    const TZoomWindow& z = area.ZoomWindow;
    const bool unzoomed = z.XLow <= 0 && z.XHigh >= 1 && z.YLow <= 0 && z.YHigh >= 1;
    e.SkipClip = layout.clip && unzoomed;
    area.SkipClip = e.SkipClip;

    e.AxesReady = false;
    for (TAxisRecord& axis : area.AxisRecord) {
        axis.AxisDefined = false;
    }
    area.AxisRecord[kAxisX].AxisPixelOrigin = m.MapLeft;
    area.AxisRecord[kAxisX].AxisPixelLength = m.MapWidth;
    // The first y axis drawn in the area sets the least y zoom fraction again.
    area.MinZoomFractionX = 0.0;
    area.MinZoomFractionY = 0.0;
    area.DrawnYAxisCount = 0;

    Canvas& c = *e.TargetCanvas;
    SetLineWidth(e, 1);
    c.Pen.Style = TPenStyle::Solid;
    c.Brush.Color = e.BackColour;
    c.Brush.Style = TBrushStyle::Solid;

    e.ForeColour = e.DefaultForeColour;
    e.BackColour = e.DefaultBackColour;
    c.Pen.Mode = TPenMode::Copy;

    e.EnginePhase = 2;
    e.PicturePixelMode = true;

    e.Settings.expire(SettingEvent::PlotArea);
}

void FinishGraph(EngineState& e) {
    if (e.TargetCanvas == nullptr) {
        return;
    }
    if (e.PendingDot.Active) {
        e.TargetCanvas->SetPixel(e.PendingDot.X, e.PendingDot.Y, e.PendingDot.Colour);
        e.PendingDot.Active = false;
    }
    DrawSymbolQueue(e);
}

void SetLineWidth(EngineState& e, int n) {
    if (n > 0 && e.TargetCanvas != nullptr) {
        e.TargetCanvas->Pen.Width = n;
    }
}

void SetPenColour(EngineState& e, TColor colour) {
    if (e.TargetCanvas != nullptr) {
        e.TargetCanvas->Pen.Color = colour;
    }
}
