#include "app/chosen_printer.h"

#include "plot/colors.h"

#include <QColor>
#include <QPageLayout>
#include <QPrinter>

namespace app {

void TChosenPrinter::SetOrientation(PrintOrientation orientation) {
    Printer.setPageOrientation(orientation == PrintOrientation::Portrait ? QPageLayout::Portrait
                                                                         : QPageLayout::Landscape);
}

int TChosenPrinter::PageWidth() {
    return Printer.width();
}

int TChosenPrinter::PageHeight() {
    return Printer.height();
}

bool TChosenPrinter::BeginDocument() {
    return Painter.begin(&Printer);
}

bool TChosenPrinter::FillRect(const PrintRect& rect, TColor colour) {
    if (!Painter.isActive()) {
        return false;
    }
    const QColor fill = QColor::fromRgb(ToQRgb(colour));
    Painter.fillRect(QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top),
                     fill);
    return true;
}

bool TChosenPrinter::EndDocument() {
    return Painter.end();
}

void TChosenPrinter::AbortDocument() {
    Printer.abort();
    if (Painter.isActive()) {
        Painter.end();
    }
}

} // namespace app
