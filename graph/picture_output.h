// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/drawing.h"
#include "plot/vector_echo.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace graph {

enum class PictureFormat { Png, Svg, Pdf };

// The format a file name's extension names (".png", ".svg", ".pdf", in any letter case).
std::optional<PictureFormat> pictureFormatOf(const std::string& fileName);

// One part of a picture: what draws it anew at the size of its place (with an echo also as
// vector shapes), and its place.
struct PicturePart {
    std::function<QImage(QSize size, plot::VectorEcho* echo)> draw;
    QRect place;
};

// The drawing at `size` through an engine of its own, as a control of that size with nothing
// zoomed shows it; with `echo` also as vector shapes.
QImage drawnAt(Drawing& drawing, QSize size, plot::VectorEcho* echo = nullptr);
// The drawing as a part of a picture, drawn by drawnAt.
PicturePart drawingPart(Drawing& drawing, QRect place);

// The parts as a file of that format, each drawn anew at the size of its place: a PNG of
// `size` pixels, or an SVG or PDF (96 pixels to the inch) of lines, boxes and text showing the
// same picture. Empty when it could not be made.
QByteArray pictureBytes(std::span<const PicturePart> parts, PictureFormat format, QSize size);

} // namespace graph
