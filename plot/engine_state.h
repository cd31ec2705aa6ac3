#pragma once

// The plotting engine's state, one per PlotEngine. Only plot/ includes this header; everything
// outside reaches the engine through plot/plot_engine.h.

#include "plot/canvas.h"
#include "plot/colors.h"
#include "plot/engine_host.h"
#include "plot/mapping.h"
#include "plot/mouse_input.h"
#include "plot/plot_area.h"
#include "plot/settings.h"
#include "plot/symbols.h"

#include <array>
#include <vector>

// The end pixel of the last one-pixel line, which the canvas leaves out: set by the next move
// or at the finish.
struct TPendingDot {
    bool Active = false;
    int X = 0;
    int Y = 0;
    TColor Colour = clBlack;
};

struct EngineState {
    explicit EngineState(TEngineHost& owner) : Owner(owner) {}

    // Picture
    TEngineHost& Owner;
    Canvas* TargetCanvas = nullptr; // the owner's canvas from the first picture on
    int PictureWidth = 0;
    int PictureHeight = 0;
    TColor DefaultBackColour = clWhite;
    TColor DefaultForeColour = clBlack;
    TColor BackColour = clWhite;
    TColor ForeColour = clBlack;
    double FontScale = 1.0;
    int CharWidth = 0;
    int CharHeight = 0;
    int EnginePhase = 0; // 1 after StartGraph, 2 after SetPlotArea, 3 and 4 after x and y axes
    int AreaCount = 0;
    int CurrentArea = 0;

    // Areas 1..8; slot 0 is a blank record read while no area is open.
    std::array<TPlotArea, kMaxPlotAreas + 1> PlotArea;

    TMapping CurrentMapping;

    // Coordinate mode and drawing flags
    bool PicturePixelMode = false;
    bool AxesReady = false;
    bool SkipClip = false;
    int PenX = 0;
    int PenY = 0;
    TPendingDot PendingDot;
    std::vector<TSymbolRecord> SymbolQueue;
    TPen SparePen;
    TBrush SpareBrush;

    // Tick lengths of the axis drawn last (the initial values come from the font)
    int MajorTickLength = 0;
    int MinorTickLength = 0;

    // Ruler set-up
    TColor RulerColour = clBlack;
    int RulerTextX = 0;
    int RulerTextY = 0;
    int RulerAlignment = 1;
    bool RulerEnabled = false;
    int RulerMode = 0;
    bool RulerSnapX = false;
    bool RulerSnapY = false;
    double RulerSnapStepX = 0.0;
    double RulerSnapStepY = 0.0;
    // Ruler run
    bool RulerDragging = false;
    int RulerX = 0;
    int RulerY = 0;
    int RulerAxis = 1;
    // Zoom rectangle
    bool BandActive = false;
    int BandStartX = 0;
    int BandStartY = 0;
    int BandEndX = 0;
    int BandEndY = 0;
    std::array<bool, 5> ZoomAxes{};
    int LastZoomedArea = 0;
    std::array<TMouseInfo, 4> MouseInfo;

    SettingsTable Settings;

    TPlotArea& Area() { return PlotArea[CurrentArea]; }
    const TPlotArea& Area() const { return PlotArea[CurrentArea]; }
};
