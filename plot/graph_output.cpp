#include "plot/graph_output.h"

#include "plot/print_layout.h"
#include "plot/print_rows.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace {

QImage Snapshot(const EngineState& e, QImage::Format format) {
    return e.TargetCanvas->Image()
        .copy(0, 0, e.PictureWidth, e.PictureHeight)
        .convertToFormat(format);
}

// Inverts one row of the screen picture as a progress mark.
void MarkRow(EngineState& e, int y) {
    Canvas& c = *e.TargetCanvas;
    const int width = c.Pen.Width;
    c.Pen.Width = 1;
    c.Pen.Mode = TPenMode::Not;
    c.MoveTo(0, y);
    c.LineTo(e.PictureWidth, y);
    c.Pen.Mode = TPenMode::Copy;
    c.Pen.Width = width;
}

void PutBack(EngineState& e, const QImage& snapshot) {
    QPainter painter(&e.TargetCanvas->Image());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, snapshot);
}

} // namespace

void CopyGraphToClipboard(EngineState& e) {
    if (e.TargetCanvas == nullptr) {
        return;
    }
    e.Owner.SetScreenCursor(TScreenCursor::HourGlass);
    QGuiApplication::clipboard()->setImage(Snapshot(e, e.TargetCanvas->Image().format()));
    e.Owner.SetScreenCursor(TScreenCursor::Default);
}

void PrintGraph(EngineState& e, bool restore, int positionCode, double fraction) {
    if (e.TargetCanvas == nullptr) {
        return;
    }
    TEngineHost& owner = e.Owner;
    owner.SetScreenCursor(TScreenCursor::HourGlass);
    const std::unique_ptr<PrintTarget> printer = owner.OpenPrinter();
    const PrintLayout layout =
        printer ? LayOutPrint(*printer, e.PictureWidth, e.PictureHeight, positionCode, fraction)
                : PrintLayout{};
    if (layout.CellSize == 0) {
        owner.Beep();
    } else {
        const QImage snapshot = Snapshot(e, QImage::Format_RGB32);
        const auto markRow = [&e](int y) { MarkRow(e, y); };
        if (!PrintPicture(snapshot, layout, *printer,
                          restore ? std::function<void(int)>(markRow) : nullptr)) {
            owner.Beep();
        }
        if (restore) {
            PutBack(e, snapshot);
        }
    }
    owner.SetScreenCursor(TScreenCursor::Default);
}
