#include "plot/engine.h"

#include "plot/primitives.h"
#include "plot/rounding.h"
#include "plot/unzoom.h"

#include <algorithm>

EngineState& Engine() {
    static EngineState state;
    return state;
}

void InitEngine() {
    EngineState& e = Engine();
    Unzoom(0);
    e.RulerEnabled = false;
    e.RulerMode = 0;
    e.RulerSnapX = e.RulerSnapY = false;
    e.RulerSnapStepX = e.RulerSnapStepY = 0.0;
    e.RulerDragging = false;
    e.BandActive = false;
    e.EnginePhase = 0;
    e.SparePen = TPen{};
    e.SpareBrush = TBrush{};
    e.Settings = SettingsTable{};
    e.Initialised = true;
}

void ForgetEngineHost(const TEngineHost* host) {
    EngineState& e = Engine();
    if (host != nullptr && e.OwnerControl == host) {
        e.OwnerControl = nullptr;
        e.TargetCanvas = nullptr;
        e.RulerDragging = false;
        e.BandActive = false;
    }
}

namespace {

void ResetInteraction(EngineState& e, TEngineHost& owner) {
    owner.SetScreenCursor(TScreenCursor::Default);
    e.RulerEnabled = false;
    e.RulerMode = 0;
    e.RulerSnapX = e.RulerSnapY = false;
    e.RulerSnapStepX = e.RulerSnapStepY = 0.0;
    e.RulerDragging = false;
    e.BandActive = false;
}

} // namespace

void StartGraph(TEngineHost& owner, TColor backColour, TColor frameColour, double scale) {
    EngineState& e = Engine();
    if (!e.Initialised) {
        InitEngine();
    }
    if (e.RulerDragging && e.OwnerControl != nullptr) {
        e.OwnerControl->Invalidate();
    }
    e.OwnerControl = &owner;
    e.TargetCanvas = &owner.EngineCanvas();
    e.PictureWidth = owner.EngineWidth();
    e.PictureHeight = owner.EngineHeight();
    ResetInteraction(e, owner);

    Canvas& c = *e.TargetCanvas;
    e.BackColour = e.DefaultBackColour = backColour;
    c.Brush.Color = backColour;
    c.Brush.Style = TBrushStyle::Solid;
    e.ForeColour = e.DefaultForeColour = frameColour;
    c.Pen.Color = frameColour;
    c.Pen.Style = TPenStyle::Solid;
    c.Pen.Width = 1;
    c.Pen.Mode = TPenMode::Copy;
    e.ContrastColour = frameColour == backColour ? ~backColour : frameColour;

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
    e.AreaWindow.fill(TAreaWindow{});

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

void SetPlotArea(int leftPercent, int rightPercent, int topPercent, int bottomPercent,
                 int leftPixels, int rightPixels, int topPixels, int bottomPixels, bool clip) {
    EngineState& e = Engine();
    if (e.TargetCanvas == nullptr) {
        return;
    }
    if (e.AreaCount >= kMaxPlotAreas) {
        e.Area().AreaValid = false;
        return;
    }
    FinishGraph();
    e.AreaCount += 1;
    e.CurrentArea = e.AreaCount;
    TPlotArea& area = e.Area();

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

    const int left = area.AreaRect.Left + leftPixels;
    const int right = area.AreaRect.Right - rightPixels;
    const int top = area.AreaRect.Top + topPixels;
    const int bottom = area.AreaRect.Bottom - bottomPixels;

    TMapping& m = e.CurrentMapping;
    m.MapLeft = left;
    m.MapWidth = right - left;
    m.MapBottom = bottom;
    m.MapHeight = bottom - top;
    area.AreaValid = m.MapWidth >= 1 && m.MapHeight >= 1;
    e.AreaAspect = m.MapHeight < 1 ? 1.0 : static_cast<double>(m.MapWidth) / m.MapHeight;

    const TZoomWindow& z = area.ZoomWindow;
    const bool unzoomed = z.XLow <= 0 && z.XHigh >= 1 && z.YLow <= 0 && z.YHigh >= 1;
    e.SkipClip = clip && unzoomed;
    area.SkipClip = e.SkipClip;

    e.AxesReady = false;
    for (TAxisRecord& axis : area.AxisRecord) {
        axis.AxisDefined = false;
    }
    area.AxisRecord[kAxisX].AxisPixelOrigin = m.MapLeft;
    area.AxisRecord[kAxisX].AxisPixelLength = m.MapWidth;
    area.AreaKind = akCartesian;
    // The first y axis drawn in the area sets the least y zoom fraction again.
    area.MinZoomFractionX = 0.0;
    area.MinZoomFractionY = 0.0;
    area.DrawnYAxisCount = 0;

    Canvas& c = *e.TargetCanvas;
    SetLineWidth(1);
    c.Pen.Style = TPenStyle::Solid;
    c.Brush.Color = e.BackColour;
    c.Brush.Style = TBrushStyle::Solid;

    TAreaWindow& window = e.AreaWindow[e.CurrentArea];
    window.Valid = area.AreaValid;
    window.Left = left;
    window.Top = top;
    window.Right = right;
    window.Bottom = bottom;

    e.ForeColour = e.DefaultForeColour;
    e.BackColour = e.DefaultBackColour;
    c.Pen.Mode = TPenMode::Copy;

    e.EnginePhase = 2;
    e.PicturePixelMode = true;
    e.AreaWindow[0] = window;

    e.Settings.expire(SettingEvent::PlotArea);
}

void FinishGraph() {
    EngineState& e = Engine();
    if (e.TargetCanvas == nullptr) {
        return;
    }
    if (e.PendingDot.Active) {
        e.TargetCanvas->SetPixel(e.PendingDot.X, e.PendingDot.Y, e.PendingDot.Colour);
        e.PendingDot.Active = false;
    }
    DrawSymbolQueue();
}

void SetLineWidth(int n) {
    EngineState& e = Engine();
    if (n > 0 && e.TargetCanvas != nullptr) {
        e.TargetCanvas->Pen.Width = n;
    }
}

void SetPenColour(TColor colour) {
    EngineState& e = Engine();
    if (e.TargetCanvas != nullptr) {
        e.TargetCanvas->Pen.Color = colour;
    }
}
