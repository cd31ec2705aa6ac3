// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"
#include "plot/colors.h"
#include "plot/engine_host.h"
#include "plot/mapping.h"
#include "plot/mouse_input.h"
#include "plot/plot_area.h"
#include "plot/settings.h"
#include "plot/tick_steps.h"

#include <QPoint>
#include <memory>
#include <string>
#include <vector>

namespace plot {

struct EngineState;

enum class AxisKind { X, Y };

// One axis of the current plot area. An x axis lies below (side 1, ticks outward; 2 inward) or
// above the plot (3 inward, 4 outward); a y axis left (1 outward, 2 inward) or right of it
// (3 inward, 4 outward); y sides 5..8 are drawn like 1..4 without a caption, and 0 counts as 1.
// start and end are the world values at the origin (left, bottom) and the end; start > end gives
// a reversed axis. The colour -255 draws the axis in the back colour; an axis coloured like the
// background draws only its grid. An x caption "Caption|suffix" appends the suffix to every
// label; a y caption "@Caption" stands one line higher.
struct AxisDescription {
    AxisKind kind = AxisKind::X;
    Color colour = kBlack;
    std::string caption{};
    int side = 1;
    double start = 0.0;
    double end = 1.0;
    double minimumStep = 0.0; // least tick step, 0 = none
    double resolution = 0.0;  // least world distance worth zooming into, 0 = none
    bool gridOn = false;
    bool logarithmic = false;
    bool fixedFormat = false; // labels in fixed instead of general number format
    ExtendMode extend = ExtendMode::Keep;
};

// A plot area: its edges in percent of the picture, then pixel margins inside them. With clip
// set, world lines of an area that is not zoomed skip the clipper.
struct PlotAreaLayout {
    int leftPercent = 0;
    int rightPercent = 100;
    int topPercent = 0;
    int bottomPercent = 100;
    int leftPixels = 0;
    int rightPixels = 0;
    int topPixels = 0;
    int bottomPixels = 0;
    bool clip = false;
};

// What the left mouse button is doing on the picture.
enum class Interaction { Idle, Ruler, ZoomRectangle };

// The plotting engine of one host control: an immediate-mode drawing of pictures made of plot
// areas with axes, lines and symbols, and the mouse zoom and ruler on the picture drawn last.
// A picture is startGraph, then per plot area setPlotArea, the x axis, and each y axis followed
// by its series, and at the end finishGraph. Zoom windows, the ruler set-up and the settings
// outlast the picture; everything else is drawn anew.
class PlotEngine {
public:
    explicit PlotEngine(EngineHost& host);
    ~PlotEngine();
    PlotEngine(const PlotEngine&) = delete;
    PlotEngine& operator=(const PlotEngine&) = delete;

    // Picture life cycle.
    void startGraph(Color backColour, Color frameColour, double scale);
    // At most eight areas per picture; a ninth marks the eighth invalid.
    void setPlotArea(const PlotAreaLayout& layout);
    // Scales and draws the axis and makes its range the mapping of what is drawn next. An x
    // axis after a y axis in the same area does nothing; a refused y axis (equal ends, invalid
    // area, side beyond 8) stops world drawing until the next accepted one.
    void drawAxis(const AxisDescription& axis);
    // Draws what is still pending: the end dot of the last line and the queued symbols.
    void finishGraph();

    // Lines and symbols: picture pixels until the first axis of an area, then world values,
    // clipped to the plot rectangle.
    void setLineWidth(int n); // n <= 0 is ignored
    void setPenColour(Color colour);
    void moveTo(double x, double y);
    void drawTo(double x, double y);
    // Queues a symbol at the pen position (drawn over the lines at the next axis or finish).
    // Fill modes: 0 hollow, 1 back colour, 2 symbol colour, 3 black. Returns false when the
    // symbol is refused (negative size, size or fill out of range); skipped symbols (shape above
    // 8, fill -1..-3, centre outside) return true.
    bool drawSymbol(int kind, int size, int fill);

    // Canvas helpers; a negative colour leaves that colour as it is.
    void plotPixel(int x, int y, Color colour);
    void plotLine(Color penColour, int x0, int y0, int x1, int y1);
    void plotRectangle(Color penColour, Color brushColour, int x0, int y0, int x1, int y1);
    void plotPolygon(Color penColour, Color brushColour, const std::vector<QPoint>& points);
    void plotEllipse(Color penColour, Color brushColour, int cx, int cy, int radius);
    void saveAttributes();
    void restoreAttributes();

    SettingsTable& settings();
    const SettingsTable& settings() const;

    // Mouse zoom and ruler. The host forwards its mouse events and calls setupRuler at the end
    // of every repaint: colour, readout position (both negative: no readout), readout alignment
    // (-1 right, 0 centred, 1 left) and flags (bits 0..2 mode, bit 3 snap x, bit 4 snap y).
    void setupRuler(Color colour, int textX, int textY, int alignment, int flags);
    void mouseDown(MouseButton button, int shift, int x, int y);
    void mouseMove(int shift, int x, int y);
    void mouseUp(MouseButton button, int shift, int x, int y);
    // The remembered move position starts afresh (its pixel x becomes -1).
    void forgetMousePosition();
    // Back to the full ranges: area 0 means every area. Draws nothing; the caller repaints.
    void unzoom(int area);

    // The last drawn picture, pixel for pixel: to the clipboard, or to the host's printer with
    // each picture pixel as a square block, white left blank. positionCode: tens digit 2
    // portrait, 3 landscape, else by the picture; units digit the place on the page (1..9 like
    // a keypad, 0 centred). fraction: share of the page (0 = 0.9). With restore, each row is
    // marked inverted on the screen while it prints and the picture is put back afterwards.
    // A picture that does not fit or a failing printer is answered with a beep.
    void copyToClipboard();
    void print(bool restore, int positionCode, double fraction);

    // What the picture being drawn, or drawn last, holds. The canvas is none before the first
    // picture.
    Canvas* canvas();
    const Mapping& mapping() const;
    // Lines now take world values, mapped with mapping() and cut by the clipper to its plot
    // rectangle.
    bool worldLinesClipped() const;
    int mapX(double x) const;
    int mapY(double y) const;
    // Through the current area's drawn axes (axis 1..4 for y); pixels outside the picture count
    // as its edge. pixelToWorldY with axis 0 uses the current mapping.
    int areaMapX(double x) const;
    int areaMapY(int axis, double y) const;
    double pixelToWorldX(int px) const;
    double pixelToWorldY(int py, int axis) const;
    // Area 1..8 of the picture; any other number gives a blank area.
    const PlotArea& plotArea(int area) const;

    Interaction interaction() const;
    QPoint rulerPosition() const;
    int readoutAxis() const; // the y axis 1..4 the ruler readout shows
    int lastZoomedArea() const;
    const MouseInfo& mouseInfo(MouseInfoSlot slot) const;

private:
    std::unique_ptr<EngineState> state_;
};

} // namespace plot
