// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/print_target.h"

#include <QPainter>
#include <QPrinter>
#include <QString>
#include <memory>

namespace plot {

// The graph printout on a QPrinter: the system's default printer, a PDF file, or a printer owned
// elsewhere (the one chosen in the printer set-up dialog), which must outlive the printout.
class QtPrintTarget : public PrintTarget {
public:
    QtPrintTarget();
    explicit QtPrintTarget(const QString& pdfFile);
    explicit QtPrintTarget(QPrinter& printer);

    void setOrientation(PrintOrientation orientation) override;
    int pageWidth() override;
    int pageHeight() override;
    bool beginDocument() override;
    bool fillRect(const PrintRect& rect, Color colour) override;
    bool endDocument() override;
    void abortDocument() override;

private:
    std::unique_ptr<QPrinter> owned_;
    QPrinter& printer_;
    QPainter painter_;
};

} // namespace plot
