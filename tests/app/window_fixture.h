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
struct TPrintRecord {
    int Opened = 0;
    int Documents = 0;
    int FilledBlocks = 0;
    int Finished = 0;
};

class TRecordingPrinter : public plot::PrintTarget {
public:
    explicit TRecordingPrinter(TPrintRecord& record) : Record(record) {}
    void setOrientation(plot::PrintOrientation) override {}
    int pageWidth() override { return 4800; }
    int pageHeight() override { return 6800; }
    bool beginDocument() override;
    bool fillRect(const plot::PrintRect&, plot::Color) override;
    bool endDocument() override;
    void abortDocument() override {}

private:
    TPrintRecord& Record;
};

// Dialogs answered by the test; every error box is recorded.
class TFakeDialogs : public app::Dialogs {
public:
    std::optional<std::string> SaveAnswer;
    std::optional<std::string> OpenAnswer;
    bool QuestionAnswer = false;
    bool PrinterSetupAnswer = false;
    int SaveDialogs = 0;
    int PrinterSetups = 0;
    std::string LastFilter;
    std::string LastDefaultExt;
    std::vector<std::string> Errors;
    std::vector<std::string> Questions;
    TPrintRecord Printed;

    std::optional<std::string> executeSaveDialog(const std::string& filter,
                                                 const std::string& defaultExt) override;
    std::optional<std::string> executeOpenDialog(const std::string& filter) override;
    bool askYesNo(const std::string& question) override;
    bool executePrinterSetup() override;
    std::unique_ptr<plot::PrintTarget> openPrinter() override;
    void showError(const std::string& message) override;
};

// A main window on the offscreen platform, with its settings file, link folder and working folder
// in a temporary folder, a scripted counter linked as COM7 and a clock the test sets.
class WindowTest : public ::testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Creates and shows the window (after the test wrote its settings file, if any).
    app::MainWindow& Open();
    std::string SettingsFile() const;
    std::string FolderFile(const std::string& name) const;
    // Presses the connect button as the user would and waits for the outcome.
    void Connect();
    // Chooses "save data to file" in the log's menu.
    void SaveThroughMenu();
    // Waits until no command waits for its reply any more.
    void WaitForReplies();
    // Sends a telegram and waits until the window has logged `expectedLines` lines.
    void Reading(const std::string& telegram, int expectedLines);
    // Waits, serving events, until `done` holds or 3 s passed.
    static bool WaitFor(const std::function<bool()>& done);
    // The counter's bytes once they stop coming.
    std::string ReceivedBytes();
    std::string Caption() const;
    std::vector<std::string> RepliesShown() const; // the lines of the reply list

    TPortSandbox Sandbox;
    talvek::test::ScriptedCounter Counter;
    std::shared_ptr<TFakeDialogs> Dialogs = std::make_shared<TFakeDialogs>();
    std::atomic<std::int64_t> NowMs{1'000'000};
    bool RealClock = false; // time-stamp with the real monotonic clock instead of NowMs
    std::string DataFolder; // of the recording journals; the sandbox's talvek folder when empty
    std::unique_ptr<app::MainWindow> Form;
};
