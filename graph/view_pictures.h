// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/picture_output.h"

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <vector>

namespace graph {

class PlotView;

// The control as a part of a picture, drawn anew by its own engine (PlotView::pictureAt).
PicturePart viewPart(PlotView& view, QRect place);

// Controls laid out side by side or one above the other (children of one widget), placed in a
// picture of `size`: each where it stands among them, scaled to the picture.
std::vector<PicturePart> placeInPicture(const std::vector<PlotView*>& views, QSize size);
// The size the controls take together on the screen.
QSize sizeOnScreen(const std::vector<PlotView*>& views);

// One control filling the picture.
QByteArray pictureBytes(PlotView& view, PictureFormat format, QSize size);

} // namespace graph
