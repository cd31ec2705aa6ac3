#pragma once

#include "graph/xy_plot.h"

#include <functional>

namespace app {

// The window's graph: it prints on the printer the user chose in the printer set-up dialog.
class TFormPlot : public TXYPlot {
    Q_OBJECT
public:
    TFormPlot(QWidget* parent, std::function<std::unique_ptr<PrintTarget>()> openPrinter)
        : TXYPlot(parent), OpenChosenPrinter(std::move(openPrinter)) {}

    std::unique_ptr<PrintTarget> OpenPrinter() override { return OpenChosenPrinter(); }

private:
    std::function<std::unique_ptr<PrintTarget>()> OpenChosenPrinter;
};

} // namespace app
