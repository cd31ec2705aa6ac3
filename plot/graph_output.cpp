// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/graph_output.h"

#include "plot/print_layout.h"
#include "plot/print_rows.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace plot {

namespace {

QImage snapshot(const EngineState& e, QImage::Format format) {
    return e.targetCanvas->image()
        .copy(0, 0, e.pictureWidth, e.pictureHeight)
        .convertToFormat(format);
}

// Inverts one row of the screen picture as a progress mark.
void markRow(EngineState& e, int y) {
    Canvas& c = *e.targetCanvas;
    const int width = c.pen.width;
    c.pen.width = 1;
    c.pen.mode = PenMode::Not;
    c.moveTo(0, y);
    c.lineTo(e.pictureWidth, y);
    c.pen.mode = PenMode::Copy;
    c.pen.width = width;
}

void putBack(EngineState& e, const QImage& snapshot) {
    QPainter painter(&e.targetCanvas->image());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, snapshot);
}

} // namespace

void copyGraphToClipboard(EngineState& e) {
    if (e.targetCanvas == nullptr) {
        return;
    }
    e.owner.setScreenCursor(ScreenCursor::HourGlass);
    QGuiApplication::clipboard()->setImage(snapshot(e, e.targetCanvas->image().format()));
    e.owner.setScreenCursor(ScreenCursor::Default);
}

void printGraph(EngineState& e, bool restore, int positionCode, double fraction) {
    if (e.targetCanvas == nullptr) {
        return;
    }
    EngineHost& owner = e.owner;
    owner.setScreenCursor(ScreenCursor::HourGlass);
    const std::unique_ptr<PrintTarget> printer = owner.openPrinter();
    const PrintLayout layout =
        printer ? layOutPrint(*printer, e.pictureWidth, e.pictureHeight, positionCode, fraction)
                : PrintLayout{};
    if (layout.cellSize == 0) {
        owner.beep();
    } else {
        const QImage picture = snapshot(e, QImage::Format_RGB32);
        const auto markProgress = [&e](int y) { markRow(e, y); };
        if (!printPicture(picture, layout, *printer,
                          restore ? std::function<void(int)>(markProgress) : nullptr)) {
            owner.beep();
        }
        if (restore) {
            putBack(e, picture);
        }
    }
    owner.setScreenCursor(ScreenCursor::Default);
}

} // namespace plot
