// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/plot_engine.h"

#include "plot/area_mapping.h"
#include "plot/axes.h"
#include "plot/engine.h"
#include "plot/engine_state.h"
#include "plot/graph_output.h"
#include "plot/primitives.h"
#include "plot/unzoom.h"
#include "plot/zoom_ruler.h"

namespace plot {

PlotEngine::PlotEngine(EngineHost& host) : state_(std::make_unique<EngineState>(host)) {}

PlotEngine::~PlotEngine() = default;

void PlotEngine::startGraph(Color backColour, Color frameColour, double scale) {
    plot::startGraph(*state_, backColour, frameColour, scale);
}

void PlotEngine::setPlotArea(const PlotAreaLayout& layout) {
    plot::setPlotArea(*state_, layout);
}

void PlotEngine::drawAxis(const AxisDescription& axis) {
    plot::drawAxis(*state_, axis);
}

void PlotEngine::finishGraph() {
    plot::finishGraph(*state_);
}

void PlotEngine::setLineWidth(int n) {
    plot::setLineWidth(*state_, n);
}

void PlotEngine::setPenColour(Color colour) {
    plot::setPenColour(*state_, colour);
}

void PlotEngine::moveTo(double x, double y) {
    plot::moveTo(*state_, x, y);
}

void PlotEngine::drawTo(double x, double y) {
    plot::drawTo(*state_, x, y);
}

bool PlotEngine::drawSymbol(int kind, int size, int fill) {
    return plot::drawSymbol(*state_, kind, size, fill);
}

void PlotEngine::plotPixel(int x, int y, Color colour) {
    plot::plotPixel(*state_, x, y, colour);
}

void PlotEngine::plotLine(Color penColour, int x0, int y0, int x1, int y1) {
    plot::plotLine(*state_, penColour, x0, y0, x1, y1);
}

void PlotEngine::plotRectangle(Color penColour, Color brushColour, int x0, int y0, int x1, int y1) {
    plot::plotRectangle(*state_, penColour, brushColour, x0, y0, x1, y1);
}

void PlotEngine::plotPolygon(Color penColour, Color brushColour,
                             const std::vector<QPoint>& points) {
    plot::plotPolygon(*state_, penColour, brushColour, points);
}

void PlotEngine::plotEllipse(Color penColour, Color brushColour, int cx, int cy, int radius) {
    plot::plotEllipse(*state_, penColour, brushColour, cx, cy, radius);
}

void PlotEngine::saveAttributes() {
    plot::saveAttributes(*state_);
}

void PlotEngine::restoreAttributes() {
    plot::restoreAttributes(*state_);
}

SettingsTable& PlotEngine::settings() {
    return state_->settings;
}

const SettingsTable& PlotEngine::settings() const {
    return state_->settings;
}

void PlotEngine::setupRuler(Color colour, int textX, int textY, int alignment, int flags) {
    plot::setupRuler(*state_, colour, textX, textY, alignment, flags);
}

void PlotEngine::mouseDown(MouseButton button, int shift, int x, int y) {
    plot::mouseDown(*state_, button, shift, x, y);
}

void PlotEngine::mouseMove(int shift, int x, int y) {
    plot::mouseMove(*state_, shift, x, y);
}

void PlotEngine::mouseUp(MouseButton button, int shift, int x, int y) {
    plot::mouseUp(*state_, button, shift, x, y);
}

void PlotEngine::forgetMousePosition() {
    state_->mouseInfo[kMoveInfo].pixelX = -1;
}

void PlotEngine::unzoom(int area) {
    plot::unzoom(*state_, area);
}

void PlotEngine::copyToClipboard() {
    plot::copyGraphToClipboard(*state_);
}

void PlotEngine::print(bool restore, int positionCode, double fraction) {
    plot::printGraph(*state_, restore, positionCode, fraction);
}

Canvas* PlotEngine::canvas() {
    return state_->targetCanvas;
}

const Mapping& PlotEngine::mapping() const {
    return state_->currentMapping;
}

bool PlotEngine::worldLinesClipped() const {
    const EngineState& e = *state_;
    return e.targetCanvas != nullptr && !e.picturePixelMode && e.axesReady && !e.skipClip;
}

int PlotEngine::mapX(double x) const {
    return plot::mapX(state_->currentMapping, x);
}

int PlotEngine::mapY(double y) const {
    return plot::mapY(state_->currentMapping, y);
}

int PlotEngine::areaMapX(double x) const {
    return plot::areaMapX(*state_, x);
}

int PlotEngine::areaMapY(int axis, double y) const {
    return plot::areaMapY(*state_, axis, y);
}

double PlotEngine::pixelToWorldX(int px) const {
    return plot::pixelToWorldX(*state_, px);
}

double PlotEngine::pixelToWorldY(int py, int axis) const {
    return plot::pixelToWorldY(*state_, py, axis);
}

const PlotArea& PlotEngine::plotArea(int area) const {
    return state_->plotArea[area >= 1 && area <= kMaxPlotAreas ? area : 0];
}

Interaction PlotEngine::interaction() const {
    if (state_->rulerDragging) {
        return Interaction::Ruler;
    }
    return state_->bandActive ? Interaction::ZoomRectangle : Interaction::Idle;
}

QPoint PlotEngine::rulerPosition() const {
    return {state_->rulerX, state_->rulerY};
}

int PlotEngine::readoutAxis() const {
    return state_->rulerAxis;
}

int PlotEngine::lastZoomedArea() const {
    return state_->lastZoomedArea;
}

const MouseInfo& PlotEngine::mouseInfo(MouseInfoSlot slot) const {
    return state_->mouseInfo[slot];
}

} // namespace plot
