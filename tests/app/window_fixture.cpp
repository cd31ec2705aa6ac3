#include "tests/app/window_fixture.h"

#include "counter/kelvo_counter.h"
#include "platform/clock.h"
#include "platform/port_links.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

std::optional<std::string> TFakeDialogs::executeSaveDialog(const std::string& filter,
                                                           const std::string& defaultExt) {
    ++SaveDialogs;
    LastFilter = filter;
    LastDefaultExt = defaultExt;
    return SaveAnswer;
}

std::optional<std::string> TFakeDialogs::executeOpenDialog(const std::string& filter) {
    LastFilter = filter;
    return OpenAnswer;
}

bool TFakeDialogs::askYesNo(const std::string& question) {
    Questions.push_back(question);
    return QuestionAnswer;
}

bool TFakeDialogs::executePrinterSetup() {
    ++PrinterSetups;
    return PrinterSetupAnswer;
}

std::unique_ptr<plot::PrintTarget> TFakeDialogs::openPrinter() {
    ++Printed.Opened;
    return std::make_unique<TRecordingPrinter>(Printed);
}

bool TRecordingPrinter::beginDocument() {
    ++Record.Documents;
    return true;
}

bool TRecordingPrinter::fillRect(const plot::PrintRect&, plot::Color) {
    ++Record.FilledBlocks;
    return true;
}

bool TRecordingPrinter::endDocument() {
    ++Record.Finished;
    return true;
}

void TFakeDialogs::showError(const std::string& message) {
    Errors.push_back(message);
}

WindowTest::WindowTest() {
    Counter.answer("I", "kelvo FC-2");
    std::filesystem::create_symlink(Counter.slavePath(),
                                    std::filesystem::path(platform::UserPortLinkFolder()) / "com7");
}

WindowTest::~WindowTest() {
    if (Form) {
        Form->counter().disconnectFromCounter();
        Form.reset();
    }
}

app::MainWindow& WindowTest::Open() {
    app::WindowEnvironment environment;
    environment.settingsFolder = Sandbox.Path();
    environment.dialogs = Dialogs;
    environment.dataFolder = DataFolder;
    environment.monotonicMs = [this] { return RealClock ? platform::MonotonicMs() : NowMs.load(); };
    Form = std::make_unique<app::MainWindow>(environment);
    Form->show();
    QCoreApplication::processEvents();
    return *Form;
}

std::string WindowTest::SettingsFile() const {
    return FolderFile("Zorvimet.ini");
}

std::string WindowTest::FolderFile(const std::string& name) const {
    return Sandbox.File(name);
}

void WindowTest::Connect() {
    Form->connectPage().connectButton()->click();
    EXPECT_TRUE(WaitFor([this] { return Form->isEnabled(); }));
}

void WindowTest::SaveThroughMenu() {
    FindMenuAction(Form->connectPage().logMenu(), {"save data to file"})->trigger();
}

void WindowTest::WaitForReplies() {
    EXPECT_TRUE(WaitFor([this] { return !Form->counter().awaitingReply(); }));
}

void WindowTest::Reading(const std::string& telegram, int expectedLines) {
    Counter.send(telegram);
    EXPECT_TRUE(WaitFor([&] { return Form->log().count() >= expectedLines; })) << telegram;
}

bool WindowTest::WaitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 3000) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

std::string WindowTest::ReceivedBytes() {
    std::string last = Counter.received();
    for (;;) {
        QTest::qWait(60);
        const std::string now = Counter.received();
        if (now == last) {
            return now;
        }
        last = now;
    }
}

std::string WindowTest::Caption() const {
    return Form->windowTitle().toLatin1().toStdString();
}

std::vector<std::string> WindowTest::RepliesShown() const {
    std::vector<std::string> lines;
    for (int i = 0; i < Form->commandsPage().replyList()->count(); ++i) {
        lines.push_back(Form->commandsPage().replyList()->item(i)->text().toLatin1().toStdString());
    }
    return lines;
}
