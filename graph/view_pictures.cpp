// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/view_pictures.h"

#include "graph/plot_view.h"

namespace graph {

namespace {

QRect boundsOf(const std::vector<PlotView*>& views) {
    QRect bounds;
    for (const PlotView* view : views) {
        bounds |= view->geometry();
    }
    return bounds;
}

} // namespace

PicturePart viewPart(PlotView& view, QRect place) {
    return {[&view](QSize size, plot::VectorEcho* echo) { return view.pictureAt(size, echo); },
            place};
}

std::vector<PicturePart> placeInPicture(const std::vector<PlotView*>& views, QSize size) {
    const QRect bounds = boundsOf(views);
    std::vector<PicturePart> parts;
    if (bounds.isEmpty()) {
        return parts;
    }
    const double sx = static_cast<double>(size.width()) / bounds.width();
    const double sy = static_cast<double>(size.height()) / bounds.height();
    for (PlotView* view : views) {
        const QRect at = view->geometry().translated(-bounds.topLeft());
        const QPoint from(qRound(at.left() * sx), qRound(at.top() * sy));
        const QPoint to(qRound((at.right() + 1) * sx), qRound((at.bottom() + 1) * sy));
        parts.push_back(viewPart(*view, QRect(from, to - QPoint(1, 1))));
    }
    return parts;
}

QSize sizeOnScreen(const std::vector<PlotView*>& views) {
    return boundsOf(views).size();
}

QByteArray pictureBytes(PlotView& view, PictureFormat format, QSize size) {
    const PicturePart whole = viewPart(view, QRect(QPoint(0, 0), size));
    return pictureBytes(std::span(&whole, 1), format, size);
}

} // namespace graph
