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
#include "tests/support/menu_action.h"
#include "tests/support/port_sandbox.h"
#include "tests/support/scripted_counter.h"

#include <QString>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// A printer that records what reaches its page.
struct PrintRecord {
    int opened = 0;
    int documents = 0;
    int filledBlocks = 0;
    int finished = 0;
};

class RecordingPrinter : public plot::PrintTarget {
public:
    explicit RecordingPrinter(PrintRecord& record) : record_(record) {}
    void setOrientation(plot::PrintOrientation) override {}
    int pageWidth() override { return 4800; }
    int pageHeight() override { return 6800; }
    bool beginDocument() override;
    bool fillRect(const plot::PrintRect&, plot::Color) override;
    bool endDocument() override;
    void abortDocument() override {}

private:
    PrintRecord& record_;
};

// Dialogs answered by the test; every error box is recorded.
class FakeDialogs : public app::Dialogs {
public:
    std::optional<app::SaveChoice> saveAnswer;
    std::optional<std::string> openAnswer;
    bool questionAnswer = false;
    bool printerSetupAnswer = false;
    int saveDialogs = 0;
    int printerSetups = 0;
    std::string lastFilter;
    std::string lastDefaultExt;
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    PrintRecord printed;

    std::optional<app::SaveChoice> executeSaveDialog(const std::string& filter,
                                                     const std::string& defaultExt) override;
    std::optional<std::string> executeOpenDialog(const std::string& filter) override;
    bool askYesNo(const std::string& question) override;
    bool executePrinterSetup() override;
    std::unique_ptr<plot::PrintTarget> openPrinter() override;
    void showError(const std::string& message) override;

    std::optional<app::PictureChoice> pictureAnswer; // the picture dialog's; none: cancelled
    QSize offeredPictureSize;
    std::optional<app::PictureChoice> choosePicture(QSize size) override {
        offeredPictureSize = size;
        return pictureAnswer;
    }

    std::optional<app::DatabaseChoice> databaseAnswer; // the database dialog's; none: cancelled
    std::optional<app::DatabaseChoice> editDatabase(const app::DatabaseChoice&) override {
        return databaseAnswer;
    }
};

// A main window on the offscreen platform, with its settings file, link folder and working folder
// in a temporary folder, a scripted counter linked as COM7 and a clock the test sets.
class WindowTest : public ::testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Creates and shows the window (after the test wrote its settings file, if any).
    app::MainWindow& open();
    std::string settingsFile() const;
    std::string folderFile(const std::string& name) const;
    // Presses the connect button as the user would and waits for the outcome.
    void connectCounter();
    // Chooses "save data to file" in the log's menu.
    void saveThroughMenu();
    // Waits until no command waits for its reply any more.
    void waitForReplies();
    // Sends a telegram and waits until the window has logged `expectedLines` lines.
    void sendReading(const std::string& telegram, int expectedLines);
    // Waits, serving events, until `done` holds or 3 s passed.
    static bool waitFor(const std::function<bool()>& done);
    // The counter's bytes once they stop coming.
    std::string receivedBytes();
    std::string caption() const;
    std::vector<std::string> repliesShown() const; // the lines of the reply list

    talvek::test::PortSandbox sandbox;
    talvek::test::ScriptedCounter scriptedCounter;
    std::shared_ptr<FakeDialogs> dialogs = std::make_shared<FakeDialogs>();
    std::atomic<std::int64_t> nowMs{1'000'000};
    bool realClock = false; // time-stamp with the real monotonic clock instead of nowMs
    std::string dataFolder; // of the recording journals; the sandbox's talvek folder when empty
    std::unique_ptr<app::MainWindow> window;
};
