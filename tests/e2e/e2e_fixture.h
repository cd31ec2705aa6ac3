// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/commands_page.h"
#include "app/connect_page.h"
#include "app/dialogs.h"
#include "app/display_page.h"
#include "app/formats/settings_file.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/main_window.h"
#include "tests/e2e/reading_match.h"
#include "tests/e2e/virtual_counter.h"
#include "tests/support/port_sandbox.h"
#include "tests/support/stall_meter.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMenu;

// The save dialog and questions answered by the test; error boxes and questions are recorded.
class AnsweringDialogs : public app::Dialogs {
public:
    std::optional<app::SaveChoice> saveAnswer;
    bool questionAnswer = false;
    std::vector<std::string> errors;
    std::vector<std::string> questions;

    std::optional<app::SaveChoice> executeSaveDialog(const std::string&,
                                                     const std::string&) override {
        return saveAnswer;
    }
    std::optional<std::string> executeOpenDialog(const std::string&) override {
        return std::nullopt;
    }
    bool askYesNo(const std::string& question) override {
        questions.push_back(question);
        return questionAnswer;
    }
    bool executePrinterSetup() override { return false; }
    std::unique_ptr<plot::PrintTarget> openPrinter() override { return nullptr; }
    void showError(const std::string& message) override { errors.push_back(message); }
};

// The real main window against the virtual counter program: the counter's port link, the
// window's settings file and its working folder all live in a temporary folder.
class EndToEndTest : public ::testing::Test {
protected:
    ~EndToEndTest() override;

    // Starts a virtual counter whose record goes to `logName` in the folder.
    VirtualCounter& startCounter(const QStringList& options, const std::string& logName);
    // Creates and shows the window, as the program entry does.
    app::MainWindow& openWindow();
    // Picks the counter's port in the selector as the user does.
    void pickPort(const std::string& com);
    // Presses the connect button (or releases it) and returns once the window reacted.
    void pressConnect();
    // Runs a popup menu entry reached by its captions, e.g. {"Measure", "stop"}.
    void choose(QMenu* menu, const std::vector<std::string>& path);
    // Runs an entry of the command menu and waits until its reply (or time-out) is in.
    void command(const std::vector<std::string>& path);
    // Serves events until `done` holds; false after `timeoutMs`.
    static bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000);
    // Serves events until the window's log has not grown for `quietMs`.
    void waitLogQuiet(int quietMs = 400);
    // Serves events until neither the counter's record of readings nor the window's log has
    // grown for a while: the line is drained.
    void waitCaughtUp(const VirtualCounter& counter, int timeoutMs = 30000);

    std::vector<LoggedReading> loggedReadings() const;
    std::string folderFile(const std::string& name) const;
    std::string caption() const;
    int logCount() const;

    talvek::test::PortSandbox sandbox;
    std::shared_ptr<AnsweringDialogs> dialogs = std::make_shared<AnsweringDialogs>();
    std::vector<std::unique_ptr<VirtualCounter>> counters;
    std::unique_ptr<app::MainWindow> window;
};

// The lines of a file without their CR LF; "<CR LF missing>" marks a line that lacks it.
std::vector<std::string> fileLines(const std::string& path);
