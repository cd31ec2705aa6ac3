#pragma once

#include "plot/print_target.h"

#include <QPainter>
#include <QPrinter>
#include <QString>

// The graph printout on a QPrinter: the system's default printer, or a PDF file.
class QtPrintTarget : public PrintTarget {
public:
    QtPrintTarget();
    explicit QtPrintTarget(const QString& pdfFile);

    void SetOrientation(PrintOrientation orientation) override;
    int PageWidth() override;
    int PageHeight() override;
    bool BeginDocument() override;
    bool FillRect(const PrintRect& rect, TColor colour) override;
    bool EndDocument() override;
    void AbortDocument() override;

private:
    QPrinter printer_{QPrinter::HighResolution};
    QPainter painter_;
};
