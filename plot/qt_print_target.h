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

    void SetOrientation(PrintOrientation orientation) override;
    int PageWidth() override;
    int PageHeight() override;
    bool BeginDocument() override;
    bool FillRect(const PrintRect& rect, Color colour) override;
    bool EndDocument() override;
    void AbortDocument() override;

private:
    std::unique_ptr<QPrinter> owned_;
    QPrinter& printer_;
    QPainter painter_;
};

} // namespace plot

// The spelling app/ still uses; it goes when app/ follows the plot namespace.
using QtPrintTarget = plot::QtPrintTarget;
