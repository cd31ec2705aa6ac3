// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/formats/database_file.h"
#include "plot/print_target.h"

#include <QSize>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace app {

// What the save dialog was answered with: the file name (local 8-bit encoding) and which format
// of its filter was chosen, 0 the first.
struct SaveChoice {
    // A name alone is a choice of the first format.
    SaveChoice(std::string name, std::size_t chosenFilter = 0)
        : fileName(std::move(name)), filter(chosenFilter) {}
    std::string fileName;
    std::size_t filter;
};

// "Save picture...": the file and the picture's size in pixels.
struct PictureChoice {
    std::string fileName; // local 8-bit encoding
    QSize size;
};

// The modal dialogs of the main window. The window asks them through this interface so that tests
// can answer in place of a user.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The save dialog: `filter` in the "caption|pattern|caption|pattern" form, the first choice
    // preselected. The choice, or nothing when cancelled.
    virtual std::optional<SaveChoice> executeSaveDialog(const std::string& filter,
                                                        const std::string& defaultExt) = 0;
    // The open dialog for an existing file, `filter` as for the save dialog. The chosen file name
    // (local 8-bit encoding), or nothing when cancelled.
    virtual std::optional<std::string> executeOpenDialog(const std::string& filter) = 0;
    // A question box with the answers Yes and No: true for Yes.
    virtual bool askYesNo(const std::string& question) = 0;
    // The printer set-up dialog: true when the user confirmed it.
    virtual bool executePrinterSetup() = 0;
    // The printer chosen there last (the default printer before any choice).
    virtual std::unique_ptr<plot::PrintTarget> openPrinter() = 0;
    // The error box for file and number errors.
    virtual void showError(const std::string& message) = 0;
    // The picture dialog, offering `size` (the control's): the choice, or nothing when cancelled
    // (as where no dialog is offered).
    virtual std::optional<PictureChoice> choosePicture([[maybe_unused]] QSize size) {
        return std::nullopt;
    }
    // The settings dialog of the time-series database, showing `current`: the choice, or
    // nothing when cancelled (as where no dialog is offered).
    virtual std::optional<DatabaseChoice>
    editDatabase([[maybe_unused]] const DatabaseChoice& current) {
        return std::nullopt;
    }
};

} // namespace app
