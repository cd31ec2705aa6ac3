// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/plot_engine.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <functional>
#include <vector>

namespace plot {

// Each control owns its engine: two pictures drawn call by call in turns must come out as each
// drawn alone, whatever one engine's settings, mapping, pen or pending symbols are.

namespace {

using Step = std::function<void(PlotEngine&)>;

struct Picture {
    int width;
    int height;
    std::vector<Step> steps;
};

// Two y axes, lines and symbols of every fill on a white background.
Picture twoAxes() {
    return {400,
            300,
            {[](PlotEngine& e) { e.startGraph(kWhite, kBlack, 1.0); },
             [](PlotEngine& e) {
                 e.setPlotArea({10, 90, 10, 80});
             },
             [](PlotEngine& e) {
                 e.drawAxis({.kind = AxisKind::X, .caption = "Time", .end = 10, .gridOn = true});
             },
             [](PlotEngine& e) {
                 e.drawAxis({.kind = AxisKind::Y, .colour = kBlue, .start = -1, .end = 1});
             },
             [](PlotEngine& e) { e.setPenColour(kRed); }, [](PlotEngine& e) { e.moveTo(0, 0); },
             [](PlotEngine& e) { e.drawTo(5, 0.8); }, [](PlotEngine& e) { e.drawSymbol(1, 8, 0); },
             [](PlotEngine& e) { e.drawTo(10, -0.5); },
             [](PlotEngine& e) { e.drawSymbol(3, 8, 2); },
             [](PlotEngine& e) {
                 e.drawAxis({.kind = AxisKind::Y, .colour = kGreen, .side = 4, .end = 100});
             },
             [](PlotEngine& e) { e.setPenColour(kGreen); }, [](PlotEngine& e) { e.moveTo(0, 10); },
             [](PlotEngine& e) { e.drawTo(10, 90); }, [](PlotEngine& e) { e.drawSymbol(5, 10, 1); },
             [](PlotEngine& e) { e.finishGraph(); }}};
}

// Other settings throughout: longer ticks, a larger font, pixel margins with clipping, a
// logarithmic x axis in fixed format, thick lines that leave the plot rectangle.
Picture logAxis() {
    return {
        500,
        250,
        {[](PlotEngine& e) { e.settings().set(Setting::MajorTicSizeX, 3); },
         [](PlotEngine& e) { e.startGraph(kButtonFace, kBlue, 1.5); },
         [](PlotEngine& e) {
             e.setPlotArea({20, 80, 5, 70, 3, 3, 3, 3, true});
         },
         [](PlotEngine& e) {
             e.drawAxis({.kind = AxisKind::X,
                         .colour = kFuchsia,
                         .start = 1,
                         .end = 100,
                         .logarithmic = true,
                         .fixedFormat = true});
         },
         [](PlotEngine& e) {
             e.drawAxis({.kind = AxisKind::Y, .start = 24999990, .end = 25000010});
         },
         [](PlotEngine& e) { e.setLineWidth(2); }, [](PlotEngine& e) { e.setPenColour(kFuchsia); },
         [](PlotEngine& e) { e.moveTo(0.5, 25000000); },
         [](PlotEngine& e) { e.drawTo(50, 25000020); },
         [](PlotEngine& e) { e.drawSymbol(2, 12, 3); },
         [](PlotEngine& e) { e.drawTo(100, 24999995); }, [](PlotEngine& e) { e.finishGraph(); }}};
}

QImage drawnAlone(const Picture& picture) {
    ImageHost host(picture.width, picture.height);
    PlotEngine engine(host);
    for (const Step& step : picture.steps)
        step(engine);
    return host.engineCanvas().image().copy();
}

TEST(EngineInstances, PicturesDrawnInTurnsEqualEachDrawnAlone) {
    const Picture first = twoAxes();
    const Picture second = logAxis();
    ImageHost firstHost(first.width, first.height);
    ImageHost secondHost(second.width, second.height);
    PlotEngine firstEngine(firstHost);
    PlotEngine secondEngine(secondHost);
    for (std::size_t i = 0; i < std::max(first.steps.size(), second.steps.size()); ++i) {
        if (i < first.steps.size())
            first.steps[i](firstEngine);
        if (i < second.steps.size())
            second.steps[i](secondEngine);
    }
    EXPECT_EQ(firstHost.engineCanvas().image(), drawnAlone(first));
    EXPECT_EQ(secondHost.engineCanvas().image(), drawnAlone(second));
}

} // namespace

} // namespace plot
