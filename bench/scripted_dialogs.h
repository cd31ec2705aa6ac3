// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/dialogs.h"

#include <cstdio>

namespace bench {

// The window's dialogs answered as a bench needs them: the open dialog with a file, every question
// with yes, the rest cancelled; an error is printed.
class ScriptedDialogs : public app::Dialogs {
public:
    explicit ScriptedDialogs(std::string openAnswer = {}) : openAnswer_(std::move(openAnswer)) {}

    std::optional<app::SaveChoice> executeSaveDialog(const std::string&,
                                                     const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> executeOpenDialog(const std::string&) override {
        return openAnswer_;
    }
    bool askYesNo(const std::string&) override { return true; }
    bool executePrinterSetup() override { return false; }
    std::unique_ptr<plot::PrintTarget> openPrinter() override { return nullptr; }
    void showError(const std::string& message) override {
        std::fprintf(stderr, "error box: %s\n", message.c_str());
    }

private:
    std::string openAnswer_;
};

} // namespace bench
