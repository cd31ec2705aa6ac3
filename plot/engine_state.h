// SPDX-License-Identifier: GPL-3.0-or-later
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

namespace plot {

// The end pixel of the last one-pixel line, which the canvas leaves out: set by the next move
// or at the finish.
struct PendingDot {
    bool active = false;
    int x = 0;
    int y = 0;
    Color colour = kBlack;
};

struct EngineState {
    explicit EngineState(EngineHost& owner) : owner(owner) {}

    // Picture
    EngineHost& owner;
    Canvas* targetCanvas = nullptr; // the owner's canvas from the first picture on
    int pictureWidth = 0;
    int pictureHeight = 0;
    Color defaultBackColour = kWhite;
    Color defaultForeColour = kBlack;
    Color backColour = kWhite;
    Color foreColour = kBlack;
    double fontScale = 1.0;
    int charWidth = 0;
    int charHeight = 0;
    int enginePhase = 0; // 1 after startGraph, 2 after setPlotArea, 3 and 4 after x and y axes
    int areaCount = 0;
    int currentArea = 0;

    // Areas 1..8; slot 0 is a blank record read while no area is open.
    std::array<PlotArea, kMaxPlotAreas + 1> plotArea;

    Mapping currentMapping;

    // Coordinate mode and drawing flags
    bool picturePixelMode = false;
    bool axesReady = false;
    bool skipClip = false;
    int penX = 0;
    int penY = 0;
    PendingDot pendingDot;
    std::vector<SymbolRecord> symbolQueue;
    Pen sparePen;
    Brush spareBrush;

    // Tick lengths of the axis drawn last (the initial values come from the font)
    int majorTickLength = 0;
    int minorTickLength = 0;

    // Ruler set-up
    Color rulerColour = kBlack;
    int rulerTextX = 0;
    int rulerTextY = 0;
    int rulerAlignment = 1;
    bool rulerEnabled = false;
    int rulerMode = 0;
    bool rulerSnapX = false;
    bool rulerSnapY = false;
    double rulerSnapStepX = 0.0;
    double rulerSnapStepY = 0.0;
    // Ruler run
    bool rulerDragging = false;
    int rulerX = 0;
    int rulerY = 0;
    int rulerAxis = 1;
    // Zoom rectangle
    bool bandActive = false;
    int bandStartX = 0;
    int bandStartY = 0;
    int bandEndX = 0;
    int bandEndY = 0;
    std::array<bool, 5> zoomAxes{};
    int lastZoomedArea = 0;
    std::array<MouseInfo, 4> mouseInfo;

    SettingsTable settings;

    PlotArea& area() { return plotArea[currentArea]; }
    const PlotArea& area() const { return plotArea[currentArea]; }
};

} // namespace plot
