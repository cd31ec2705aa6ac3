#pragma once

#include "app/form_dialogs.h"

#include <QPrinter>

class QWidget;

namespace app {

// The toolkit's own dialogs, parented to the main window.
class TQtFormDialogs : public TFormDialogs {
public:
    explicit TQtFormDialogs(QWidget* parent) : Parent(parent) {}

    std::optional<std::string> ExecuteSaveDialog(const std::string& filter,
                                                 const std::string& defaultExt) override;
    bool ExecutePrinterSetup() override;
    std::unique_ptr<PrintTarget> OpenPrinter() override;
    void ShowError(const std::string& message) override;

private:
    QWidget* Parent;
    QPrinter Printer{QPrinter::HighResolution};
};

} // namespace app
