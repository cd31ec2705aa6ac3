// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/dialogs.h"

#include <QPrinter>

class QWidget;

namespace app {

// The toolkit's own dialogs, parented to the main window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : parent_(parent) {}

    std::optional<SaveChoice> executeSaveDialog(const std::string& filter,
                                                const std::string& defaultExt) override;
    std::optional<std::string> executeOpenDialog(const std::string& filter) override;
    bool askYesNo(const std::string& question) override;
    bool executePrinterSetup() override;
    std::unique_ptr<plot::PrintTarget> openPrinter() override;
    void showError(const std::string& message) override;
    std::optional<DatabaseChoice> editDatabase(const DatabaseChoice& current) override;
    std::optional<PictureChoice> choosePicture(QSize size) override;

private:
    QWidget* parent_;
    QPrinter printer_{QPrinter::HighResolution};
};

} // namespace app
