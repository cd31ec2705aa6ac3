// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>
#include <optional>
#include <string>

namespace graph {

class XyPlot;

enum class PictureFormat { Png, Svg, Pdf };

// The format a file name's extension names (".png", ".svg", ".pdf", in any letter case).
std::optional<PictureFormat> pictureFormatOf(const std::string& fileName);

// The graph as a file of that format, drawn anew at `size` pixels: a PNG of those pixels, or an
// SVG or PDF (96 pixels to the inch) of lines, boxes and text showing the same picture. Empty
// when it could not be made.
QByteArray pictureBytes(XyPlot& plot, PictureFormat format, QSize size);

} // namespace graph
