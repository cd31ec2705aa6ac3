// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/qt_print_target.h"

#include <QColor>
#include <QPageLayout>
#include <QRect>

namespace plot {

QtPrintTarget::QtPrintTarget()
    : owned_(std::make_unique<QPrinter>(QPrinter::HighResolution)), printer_(*owned_) {}

QtPrintTarget::QtPrintTarget(const QString& pdfFile) : QtPrintTarget() {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(pdfFile);
}

QtPrintTarget::QtPrintTarget(QPrinter& printer) : printer_(printer) {}

void QtPrintTarget::setOrientation(PrintOrientation orientation) {
    printer_.setPageOrientation(orientation == PrintOrientation::Portrait ? QPageLayout::Portrait
                                                                          : QPageLayout::Landscape);
}

int QtPrintTarget::pageWidth() {
    return printer_.width();
}

int QtPrintTarget::pageHeight() {
    return printer_.height();
}

bool QtPrintTarget::beginDocument() {
    return painter_.begin(&printer_);
}

bool QtPrintTarget::fillRect(const PrintRect& rect, Color colour) {
    if (!painter_.isActive()) {
        return false;
    }
    const QColor fill = QColor::fromRgb(toQRgb(colour));
    painter_.fillRect(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
                      fill);
    return true;
}

bool QtPrintTarget::endDocument() {
    return painter_.end();
}

void QtPrintTarget::abortDocument() {
    printer_.abort();
    if (painter_.isActive()) {
        painter_.end();
    }
}

} // namespace plot
