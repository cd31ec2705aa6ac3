#pragma once

#include "plot/print_target.h"

#include <QPainter>

class QPrinter;

namespace app {

// The graph printout on the printer chosen in the printer set-up dialog. The printer belongs to
// the dialogs and outlives the printout.
class TChosenPrinter : public PrintTarget {
public:
    explicit TChosenPrinter(QPrinter& printer) : Printer(printer) {}

    void SetOrientation(PrintOrientation orientation) override;
    int PageWidth() override;
    int PageHeight() override;
    bool BeginDocument() override;
    bool FillRect(const PrintRect& rect, TColor colour) override;
    bool EndDocument() override;
    void AbortDocument() override;

private:
    QPrinter& Printer;
    QPainter Painter;
};

} // namespace app
