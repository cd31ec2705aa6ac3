// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/app/window_fixture.h"

#include "counter/driver.h"
#include "platform/clock.h"
#include "platform/port_links.h"
#include "serial/receive_thread.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

std::optional<app::SaveChoice> FakeDialogs::executeSaveDialog(const std::string& filter,
                                                              const std::string& defaultExt) {
    ++saveDialogs;
    lastFilter = filter;
    lastDefaultExt = defaultExt;
    return saveAnswer;
}

std::optional<std::string> FakeDialogs::executeOpenDialog(const std::string& filter) {
    lastFilter = filter;
    return openAnswer;
}

bool FakeDialogs::askYesNo(const std::string& question) {
    questions.push_back(question);
    return questionAnswer;
}

bool FakeDialogs::executePrinterSetup() {
    ++printerSetups;
    return printerSetupAnswer;
}

std::unique_ptr<plot::PrintTarget> FakeDialogs::openPrinter() {
    ++printed.opened;
    return std::make_unique<RecordingPrinter>(printed);
}

bool RecordingPrinter::beginDocument() {
    ++record_.documents;
    return true;
}

bool RecordingPrinter::fillRect(const plot::PrintRect&, plot::Color) {
    ++record_.filledBlocks;
    return true;
}

bool RecordingPrinter::endDocument() {
    ++record_.finished;
    return true;
}

void FakeDialogs::showError(const std::string& message) {
    errors.push_back(message);
}

WindowTest::WindowTest() {
    scriptedCounter.answer("I", "kelvo FC-2");
    std::filesystem::create_symlink(scriptedCounter.slavePath(),
                                    std::filesystem::path(platform::userPortLinkFolder()) / "com7");
}

WindowTest::~WindowTest() {
    if (window) {
        window->counter().disconnectFromInstrument();
        window.reset();
    }
}

app::MainWindow& WindowTest::open() {
    app::WindowEnvironment environment;
    environment.settingsFolder = sandbox.path();
    environment.dialogs = dialogs;
    environment.dataFolder = dataFolder;
    environment.monotonicMs = [this] { return realClock ? platform::monotonicMs() : nowMs.load(); };
    window = std::make_unique<app::MainWindow>(environment);
    window->show();
    QCoreApplication::processEvents();
    // Journals left behind are read, and offered, off the event loop's turn.
    EXPECT_TRUE(waitFor([this] { return !window->loadingMeasurement(); }));
    return *window;
}

std::string WindowTest::settingsFile() const {
    return folderFile("Zorvimet.ini");
}

std::string WindowTest::folderFile(const std::string& name) const {
    return sandbox.file(name);
}

void WindowTest::connectCounter() {
    window->connectPage().connectButton()->click();
    EXPECT_TRUE(waitFor([this] { return window->isEnabled(); }));
}

void WindowTest::saveThroughMenu() {
    talvek::test::findMenuAction(window->connectPage().logMenu(), {"save data to file"})->trigger();
}

void WindowTest::waitForReplies() {
    EXPECT_TRUE(waitFor([this] { return !window->counter().awaitingReply(); }));
}

void WindowTest::sendReading(const std::string& telegram, int expectedLines) {
    scriptedCounter.send(telegram);
    EXPECT_TRUE(waitFor([&] { return window->log().count() >= expectedLines; })) << telegram;
}

bool WindowTest::waitFor(const std::function<bool()>& done) {
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

std::string WindowTest::receivedBytes() {
    std::string last = scriptedCounter.received();
    for (;;) {
        QTest::qWait(60);
        const std::string now = scriptedCounter.received();
        if (now == last) {
            // The counter's answer reaches the window at the next batch of hand-overs.
            QTest::qWait(static_cast<int>(serial::kBatchSpacing.count()) + 60);
            return now;
        }
        last = now;
    }
}

std::string WindowTest::caption() const {
    return window->windowTitle().toLatin1().toStdString();
}

std::vector<std::string> WindowTest::repliesShown() const {
    std::vector<std::string> lines;
    for (int i = 0; i < window->commandsPage().replyList()->count(); ++i) {
        lines.push_back(
            window->commandsPage().replyList()->item(i)->text().toLatin1().toStdString());
    }
    return lines;
}
