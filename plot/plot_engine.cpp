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

PlotEngine::PlotEngine(TEngineHost& host) : state_(std::make_unique<EngineState>(host)) {}

PlotEngine::~PlotEngine() = default;

void PlotEngine::startGraph(TColor backColour, TColor frameColour, double scale) {
    StartGraph(*state_, backColour, frameColour, scale);
}

void PlotEngine::setPlotArea(const PlotAreaLayout& layout) {
    SetPlotArea(*state_, layout);
}

void PlotEngine::drawAxis(const AxisDescription& axis) {
    DrawAxis(*state_, axis);
}

void PlotEngine::finishGraph() {
    FinishGraph(*state_);
}

void PlotEngine::setLineWidth(int n) {
    SetLineWidth(*state_, n);
}

void PlotEngine::setPenColour(TColor colour) {
    SetPenColour(*state_, colour);
}

void PlotEngine::moveTo(double x, double y) {
    MoveTo(*state_, x, y);
}

void PlotEngine::drawTo(double x, double y) {
    DrawTo(*state_, x, y);
}

bool PlotEngine::drawSymbol(int kind, int size, int fill) {
    return DrawSymbol(*state_, kind, size, fill);
}

void PlotEngine::plotPixel(int x, int y, TColor colour) {
    PlotPixel(*state_, x, y, colour);
}

void PlotEngine::plotLine(TColor penColour, int x0, int y0, int x1, int y1) {
    PlotLine(*state_, penColour, x0, y0, x1, y1);
}

void PlotEngine::plotRectangle(TColor penColour, TColor brushColour, int x0, int y0, int x1,
                               int y1) {
    PlotRectangle(*state_, penColour, brushColour, x0, y0, x1, y1);
}

void PlotEngine::plotPolygon(TColor penColour, TColor brushColour,
                             const std::vector<QPoint>& points) {
    PlotPolygon(*state_, penColour, brushColour, points);
}

void PlotEngine::plotEllipse(TColor penColour, TColor brushColour, int cx, int cy, int radius) {
    PlotEllipse(*state_, penColour, brushColour, cx, cy, radius);
}

void PlotEngine::saveAttributes() {
    SaveAttributes(*state_);
}

void PlotEngine::restoreAttributes() {
    RestoreAttributes(*state_);
}

SettingsTable& PlotEngine::settings() {
    return state_->Settings;
}

const SettingsTable& PlotEngine::settings() const {
    return state_->Settings;
}

void PlotEngine::setupRuler(TColor colour, int textX, int textY, int alignment, int flags) {
    SetupRuler(*state_, colour, textX, textY, alignment, flags);
}

void PlotEngine::mouseDown(TMouseButton button, int shift, int x, int y) {
    MouseDown(*state_, button, shift, x, y);
}

void PlotEngine::mouseMove(int shift, int x, int y) {
    MouseMove(*state_, shift, x, y);
}

void PlotEngine::mouseUp(TMouseButton button, int shift, int x, int y) {
    MouseUp(*state_, button, shift, x, y);
}

void PlotEngine::forgetMousePosition() {
    state_->MouseInfo[miMove].PixelX = -1;
}

void PlotEngine::unzoom(int area) {
    Unzoom(*state_, area);
}

void PlotEngine::copyToClipboard() {
    CopyGraphToClipboard(*state_);
}

void PlotEngine::print(bool restore, int positionCode, double fraction) {
    PrintGraph(*state_, restore, positionCode, fraction);
}

Canvas* PlotEngine::canvas() {
    return state_->TargetCanvas;
}

const TMapping& PlotEngine::mapping() const {
    return state_->CurrentMapping;
}

bool PlotEngine::worldLinesClipped() const {
    const EngineState& e = *state_;
    return e.TargetCanvas != nullptr && !e.PicturePixelMode && e.AxesReady && !e.SkipClip;
}

int PlotEngine::mapX(double x) const {
    return MapX(state_->CurrentMapping, x);
}

int PlotEngine::mapY(double y) const {
    return MapY(state_->CurrentMapping, y);
}

int PlotEngine::areaMapX(double x) const {
    return AreaMapX(*state_, x);
}

int PlotEngine::areaMapY(int axis, double y) const {
    return AreaMapY(*state_, axis, y);
}

double PlotEngine::pixelToWorldX(int px) const {
    return PixelToWorldX(*state_, px);
}

double PlotEngine::pixelToWorldY(int py, int axis) const {
    return PixelToWorldY(*state_, py, axis);
}

const TPlotArea& PlotEngine::plotArea(int area) const {
    return state_->PlotArea[area >= 1 && area <= kMaxPlotAreas ? area : 0];
}

Interaction PlotEngine::interaction() const {
    if (state_->RulerDragging) {
        return Interaction::Ruler;
    }
    return state_->BandActive ? Interaction::ZoomRectangle : Interaction::Idle;
}

QPoint PlotEngine::rulerPosition() const {
    return {state_->RulerX, state_->RulerY};
}

int PlotEngine::readoutAxis() const {
    return state_->RulerAxis;
}

int PlotEngine::lastZoomedArea() const {
    return state_->LastZoomedArea;
}

const TMouseInfo& PlotEngine::mouseInfo(TMouseInfoSlot slot) const {
    return state_->MouseInfo[slot];
}

} // namespace plot
