// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/heat_map.h"

#include "plot/color_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace plot {

namespace {

// The plot rectangle and the colour bar, in percent of the picture.
constexpr PlotAreaLayout kArea{
    .leftPercent = 16, .rightPercent = 78, .topPercent = 8, .bottomPercent = 80};
constexpr int kBarLeftPercent = 82;
constexpr int kBarRightPercent = 86;

struct Range {
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -std::numeric_limits<double>::infinity();

    void include(double value) {
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    bool valid() const { return lowest <= highest; }
};

// Where column j reaches on x: halfway to each neighbour, the outer ones as far out.
std::pair<double, double> columnEdges(const std::vector<HeatColumn>& columns, std::size_t j) {
    if (columns.size() == 1) {
        return {columns[0].x - 0.5, columns[0].x + 0.5};
    }
    const double before = j > 0 ? columns[j].x - columns[j - 1].x : columns[1].x - columns[0].x;
    const double after =
        j + 1 < columns.size() ? columns[j + 1].x - columns[j].x : columns[j].x - columns[j - 1].x;
    return {columns[j].x - before / 2, columns[j].x + after / 2};
}

// 10^value, short.
std::string scaleLabel(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2g", std::pow(10.0, value));
    return text;
}

} // namespace

const QImage& HeatMapPicture::draw(const std::vector<HeatColumn>& columns, const HeatMapLook& look,
                                   int width, int height) {
    Canvas& canvas = host_.engineCanvas();
    if (canvas.width() != width || canvas.height() != height) {
        canvas.setSize(std::max(1, width), std::max(1, height));
    }
    Range x;
    Range y;
    Range value;
    for (std::size_t j = 0; j < columns.size(); ++j) {
        if (columns[j].cells.empty()) {
            continue;
        }
        const auto [left, right] = columnEdges(columns, j);
        x.include(left);
        x.include(right);
        for (const HeatCell& cell : columns[j].cells) {
            y.include(cell.y);
            value.include(cell.value);
        }
    }
    const bool any = x.valid() && y.valid();
    const double halfRow = std::sqrt(look.rowFactor);
    engine_.startGraph(look.backColour, look.frameColour, look.fontScale);
    engine_.setPlotArea(kArea);
    engine_.drawAxis({.kind = AxisKind::X,
                      .colour = look.textColour,
                      .caption = look.xCaption,
                      .start = any ? x.lowest : 0,
                      .end = any ? x.highest : 1});
    engine_.drawAxis({.kind = AxisKind::Y,
                      .colour = look.textColour,
                      .caption = look.yCaption,
                      .start = any ? y.lowest / halfRow : 1,
                      .end = any ? y.highest * halfRow : 100,
                      .logarithmic = true});
    const Mapping& map = engine_.mapping();
    const int plotLeft = map.mapLeft + 1;
    const int plotRight = map.mapLeft + map.mapWidth;
    const int plotTop = map.mapBottom - map.mapHeight + 1;
    const int plotBottom = map.mapBottom;
    const double span = value.valid() ? std::max(value.highest - value.lowest, 1e-12) : 1;
    for (std::size_t j = 0; any && j < columns.size(); ++j) {
        const auto [leftX, rightX] = columnEdges(columns, j);
        const int left = std::max(plotLeft, engine_.mapX(leftX));
        const int right = std::min(plotRight, std::max(left + 1, engine_.mapX(rightX)));
        for (const HeatCell& cell : columns[j].cells) {
            const int top = std::max(plotTop, engine_.mapY(cell.y * halfRow));
            const int bottom = std::min(plotBottom, engine_.mapY(cell.y / halfRow));
            canvas.brush.color = colorMapColor((cell.value - value.lowest) / span);
            canvas.fillRect(left, top, right, bottom);
        }
    }
    engine_.finishGraph();
    drawColourBar(look, value.lowest, value.highest, value.valid());
    return canvas.image();
}

void HeatMapPicture::drawColourBar(const HeatMapLook& look, double lowest, double highest,
                                   bool any) {
    Canvas& canvas = host_.engineCanvas();
    const Mapping& map = engine_.mapping();
    const int left = canvas.width() * kBarLeftPercent / 100;
    const int right = std::max(left + 2, canvas.width() * kBarRightPercent / 100);
    const int top = map.mapBottom - map.mapHeight;
    const int bottom = map.mapBottom;
    const int rows = std::max(1, bottom - top);
    for (int row = 0; row < rows; ++row) {
        canvas.brush.color = colorMapColor(1.0 - static_cast<double>(row) / std::max(1, rows - 1));
        canvas.fillRect(left, top + row, right, top + row + 1);
    }
    canvas.font = Font{};
    canvas.font.size = static_cast<int>(std::lround(8 * look.fontScale));
    canvas.font.color = look.textColour;
    const int captionWidth = canvas.textWidth(look.scaleCaption);
    canvas.textOut((left + right - captionWidth) / 2,
                   top - canvas.textHeight(look.scaleCaption) - 4, look.scaleCaption);
    if (!any) {
        return;
    }
    // Labels at whole decades, or at finer steps of the exponent over a narrow range.
    const double span = highest - lowest;
    const double step = span >= 2 ? std::ceil(span / 6) : span >= 1 ? 0.5 : span >= 0.4 ? 0.2 : 0.1;
    const double shown = std::max(span, 1e-12);
    for (double k = std::ceil(lowest / step); k * step <= highest + 1e-9; ++k) {
        const double exponent = k * step;
        const int py =
            bottom - static_cast<int>(std::lround((exponent - lowest) / shown * (rows - 1)));
        canvas.pen.color = look.textColour;
        canvas.moveTo(right, py);
        canvas.lineTo(right + 4, py);
        const std::string label = scaleLabel(exponent);
        canvas.textOut(right + 6, py - canvas.textHeight(label) / 2, label);
    }
}

} // namespace plot
