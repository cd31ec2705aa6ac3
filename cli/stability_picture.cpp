// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stability_picture.h"

#include "graph/stability_drawing.h"

#include <vector>

namespace cli {

QByteArray stabilityPicture(std::span<const graph::StabilityRun> runs,
                            std::span<const analysis::Deviation> kinds, graph::PictureFormat format,
                            QSize size) {
    using analysis::DeviationUnit;
    const graph::StabilityPlaces places = graph::stabilityPlaces(size, kinds);
    graph::StabilityDrawing fractional;
    graph::StabilityDrawing seconds;
    std::vector<graph::PicturePart> parts;
    if (places.fractionalShown) {
        fractional.setCurves(graph::stabilityCurves(runs, DeviationUnit::Fractional),
                             graph::deviationAxisCaption(DeviationUnit::Fractional));
        parts.push_back(graph::drawingPart(fractional, places.fractional));
    }
    if (places.secondsShown) {
        seconds.setCurves(graph::stabilityCurves(runs, DeviationUnit::Seconds),
                          graph::deviationAxisCaption(DeviationUnit::Seconds));
        parts.push_back(graph::drawingPart(seconds, places.seconds));
    }
    return graph::pictureBytes(parts, format, size);
}

} // namespace cli
