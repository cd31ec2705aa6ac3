#pragma once

#include "plot/canvas.h"
#include "plot/colors.h"
#include "plot/settings.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TEngineHost;

constexpr int kMaxPlotAreas = 8;
constexpr int kAxisX = 0; // AxisRecord index of the X axis; 1..4 are Y1..Y4

struct TFractionWindow {
    double Low = 0.0;
    double High = 1.0;
};

struct TZoomWindow {
    double XLow = 0.0;
    double XHigh = 1.0;
    double YLow = 0.0;
    double YHigh = 1.0;
};

struct TPixelRect {
    int Left = 0;
    int Right = 0;
    int Top = 0;
    int Bottom = 0;
};

// One axis as drawn in an area: what zoom and ruler read back.
struct TAxisRecord {
    bool AxisDefined = false;
    bool AxisLog = false;
    TColor AxisColour = clBlack;
    double AxisMin = 0.0;
    double AxisMax = 0.0;
    double AxisLogSpan = 0.0;
    int AxisPixelOrigin = 0;
    int AxisPixelLength = 0;
    TFractionWindow AxisZoomWindow; // visible part of the full range, survives pictures
    TFractionWindow DrawnWindow;    // part actually shown (may be widened to ticks)
    double UnitsPerPixel = 0.0;
    double MinimumStep = 0.0; // rounded to 1, 2 or 5 times a power of ten; 0 = none
    int LabelDecimals = 0;
    int MinimumStepDecimals = 99;
};

enum TAreaKind { akCartesian = 0 };

enum TGridLine { glXMajor = 0, glXMinor = 1, glYMajor = 2, glYMinor = 3 };

struct TPlotArea {
    TPixelRect AreaRect; // from the percentages, before the pixel margins
    TZoomWindow ZoomWindow;
    bool AreaValid = false;
    bool SkipClip = false;
    int AreaKind = akCartesian;
    std::array<int, 4> GridPattern{4, 7, 4, 7};
    std::array<TAxisRecord, 5> AxisRecord;
    double MinZoomFractionX = 0.0;
    double MinZoomFractionY = 0.0;
    int DrawnYAxisCount = 0; // y axes drawn since the X axis (running mean of the y window)
};

struct TAreaWindowAxis {
    bool Marked = false;
    double Min = 0.0;
    double Max = 0.0;
};

struct TAreaWindow {
    bool Valid = false;
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    std::array<TAreaWindowAxis, 5> Axis;
};

struct TMapping {
    int MapLeft = 0;
    int MapWidth = 0;
    int MapBottom = 0;
    int MapHeight = 0;
    double XMin = 0.0;
    double XMax = 0.0;
    double YMin = 0.0;
    double YMax = 0.0;
    bool XLog = false;
    bool YLog = false;
    double XLogSpan = 0.0;
    double YLogSpan = 0.0;
};

struct TPendingDot {
    bool Active = false;
    int X = 0;
    int Y = 0;
    TColor Colour = clBlack;
};

struct TSymbolRecord {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::uint16_t Kind = 0;
    std::uint16_t Size = 0;
    std::uint16_t Fill = 0;
    std::uint16_t PenWidth = 0;
    std::uint16_t Reserved = 0;
    TColor Colour = clBlack;
    TColor FillColour = clBlack;
};

struct TMouseInfo {
    int EngineCounter = 0;
    int Area = 0;
    int PixelX = 0;
    int PixelY = 0;
    double WorldX = 0.0;
    std::array<double, 4> WorldY{};
    std::array<int, 2> DataIndex{};
};

enum TMouseInfoSlot { miPress = 0, miRelease = 1, miReference = 2, miMove = 3 };

struct EngineState {
    // Picture
    TEngineHost* OwnerControl = nullptr;
    Canvas* TargetCanvas = nullptr;
    int PictureWidth = 0;
    int PictureHeight = 0;
    TColor DefaultBackColour = clWhite;
    TColor DefaultForeColour = clBlack;
    TColor BackColour = clWhite;
    TColor ForeColour = clBlack;
    TColor ContrastColour = clBlack;
    double FontScale = 1.0;
    int CharWidth = 0;
    int CharHeight = 0;
    int EnginePhase = 0;
    int AreaCount = 0;
    int CurrentArea = 0;
    bool Initialised = false;

    // Areas 1..8; slot 0 is a blank record read while no area is open.
    std::array<TPlotArea, kMaxPlotAreas + 1> PlotArea;
    std::array<TAreaWindow, kMaxPlotAreas + 1> AreaWindow;

    TMapping CurrentMapping;

    // Coordinate mode and drawing flags
    bool PicturePixelMode = false;
    bool AxesReady = false;
    bool SkipClip = false;
    double AreaAspect = 1.0;
    int PenX = 0;
    int PenY = 0;
    TPendingDot PendingDot;
    std::vector<TSymbolRecord> SymbolQueue;
    TPen SparePen;
    TBrush SpareBrush;

    // Axis working values (valid during and just after the axis operation that set them)
    int MajorTickLength = 0;
    int MinorTickLength = 0;
    int LabelDecimalsX = 0;
    int LabelDecimalsY = 0;
    double MinimumStepX = 0.0;
    double MinimumStepY = 0.0;
    int MinimumStepDecimalsX = 99;
    int MinimumStepDecimalsY = 99;
    double UnitsPerPixelX = 0.0;
    double UnitsPerPixelY = 0.0;
    double CommonFactor = 0.0;
    int CommonFactorDecimals = 0;
    std::string CommonFactorSuffix;

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

// The one engine of the process; every picture passes through it.
EngineState& Engine();
