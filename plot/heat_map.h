// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/colors.h"
#include "plot/engine_host.h"
#include "plot/plot_engine.h"

#include <QImage>
#include <string>
#include <vector>

namespace plot {

// One cell of a heat map: its row's y (on a logarithmic axis, rows a fixed factor apart) and
// the value its colour shows.
struct HeatCell {
    double y = 0;
    double value = 0;
};

// The cells of one x. A column reaches halfway to its neighbours (the outer ones as far out).
struct HeatColumn {
    double x = 0;
    std::vector<HeatCell> cells;
};

struct HeatMapLook {
    std::string xCaption;
    std::string yCaption;
    std::string scaleCaption; // above the colour bar
    double rowFactor = 2;     // between the y of neighbouring rows
    // Colours show value; the bar is labelled with 10^value.
    Color backColour = kButtonFace;
    Color frameColour = kBlue;
    Color textColour = kBlack;
    double fontScale = 1.5;
};

// A heat map drawn by the plotting engine: a linear x axis, a logarithmic y axis, each cell
// filled with colorMapColor of its value between the smallest and the largest, and a colour bar
// at the right with labels of 10^value. The cost of a picture follows the cell count.
class HeatMapPicture {
public:
    HeatMapPicture() = default;

    const QImage& draw(const std::vector<HeatColumn>& columns, const HeatMapLook& look, int width,
                       int height);
    const QImage& image() const { return host_.engineCanvas().image(); }

private:
    void drawColourBar(const HeatMapLook& look, double lowest, double highest, bool any);

    mutable ImageHost host_{1, 1};
    PlotEngine engine_{host_};
};

} // namespace plot
