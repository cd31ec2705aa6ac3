// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace graph {

class XyPlot;

enum class PictureFormat { Png, Svg, Pdf };

// The format a file name's extension names (".png", ".svg", ".pdf", in any letter case).
std::optional<PictureFormat> pictureFormatOf(const std::string& fileName);

// A control's place in a picture.
struct PicturePart {
    XyPlot* plot;
    QRect place;
};

// Controls laid out side by side or one above the other (children of one widget), placed in a
// picture of `size`: each where it stands among them, scaled to the picture.
std::vector<PicturePart> placeInPicture(const std::vector<XyPlot*>& plots, QSize size);
// The size the controls take together on the screen.
QSize sizeOnScreen(const std::vector<XyPlot*>& plots);

// The parts as a file of that format, each drawn anew at the size of its place: a PNG of
// `size` pixels, or an SVG or PDF (96 pixels to the inch) of lines, boxes and text showing the
// same picture. Empty when it could not be made.
QByteArray pictureBytes(std::span<const PicturePart> parts, PictureFormat format, QSize size);
// One control filling the picture.
QByteArray pictureBytes(XyPlot& plot, PictureFormat format, QSize size);

} // namespace graph
