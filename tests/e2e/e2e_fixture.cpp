// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/e2e/e2e_fixture.h"

#include "app/log_model.h"
#include "counter/driver.h"
#include "portselect/port_selector.h"
#include "recording/float_text.h"
#include "tests/support/menu_action.h"

#include <QAction>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <charconv>
#include <fstream>
#include <sstream>

EndToEndTest::~EndToEndTest() {
    window.reset();
    counters.clear();
}

VirtualCounter& EndToEndTest::startCounter(const QStringList& options, const std::string& logName) {
    counters.push_back(std::make_unique<VirtualCounter>(sandbox.path(), folderFile(logName)));
    EXPECT_TRUE(counters.back()->start(options)) << "the virtual counter did not come up";
    return *counters.back();
}

app::MainWindow& EndToEndTest::openWindow() {
    app::WindowEnvironment environment;
    environment.settingsFolder = sandbox.path();
    environment.dialogs = dialogs;
    window = std::make_unique<app::MainWindow>(environment);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return *window;
}

void EndToEndTest::pickPort(const std::string& com) {
    portselect::PortSelector& selector = *window->connectPage().portSelector();
    for (std::size_t i = 0; i < selector.shownPorts.size(); ++i) {
        if (selector.shownPorts[i].name == com) {
            selector.setCurrentIndex(static_cast<int>(i));
            emit selector.activated(static_cast<int>(i));
            return;
        }
    }
    ADD_FAILURE() << com << " is not listed in the port selector";
}

void EndToEndTest::pressConnect() {
    QTest::mouseClick(window->connectPage().connectButton(), Qt::LeftButton);
    EXPECT_TRUE(waitFor([this] { return window->isEnabled(); }, 30000));
}

void EndToEndTest::choose(QMenu* menu, const std::vector<std::string>& path) {
    QAction* action = talvek::test::findMenuAction(menu, path);
    ASSERT_NE(action, nullptr) << path.back();
    action->trigger();
}

void EndToEndTest::command(const std::vector<std::string>& path) {
    choose(window->commandsPage().commandMenu(), path);
    // A flood of readings ahead of the reply drains first.
    EXPECT_TRUE(waitFor([this] { return !window->counter().awaitingReply(); }, 240000));
}

bool EndToEndTest::waitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

void EndToEndTest::waitLogQuiet(int quietMs) {
    int count = -1;
    QElapsedTimer still;
    still.start();
    while (still.elapsed() < quietMs) {
        QTest::qWait(20);
        if (logCount() != count) {
            count = logCount();
            still.restart();
        }
    }
}

void EndToEndTest::waitCaughtUp(const VirtualCounter& counter, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    std::size_t sent = counter.sentReadings().size();
    int logged = logCount();
    QElapsedTimer still;
    still.start();
    while (clock.elapsed() < timeoutMs && still.elapsed() < 800) {
        QTest::qWait(50);
        const std::size_t sentNow = counter.sentReadings().size();
        if (sentNow != sent || logCount() != logged) {
            sent = sentNow;
            logged = logCount();
            still.restart();
        }
    }
}

std::vector<LoggedReading> EndToEndTest::loggedReadings() const {
    std::vector<LoggedReading> readings;
    const char separator = recording::machineDecimalSeparator();
    for (int i = 0; i < window->log().count(); ++i) {
        std::string line = window->log().line(i);
        for (char& c : line) {
            c = c == separator ? '.' : c;
        }
        std::istringstream words(line);
        std::string time;
        std::string value;
        words >> time >> value;
        LoggedReading reading;
        std::from_chars(time.data(), time.data() + time.size(), reading.timeMs);
        std::from_chars(value.data(), value.data() + value.size(), reading.value);
        readings.push_back(reading);
    }
    return readings;
}

std::string EndToEndTest::folderFile(const std::string& name) const {
    return sandbox.file(name);
}

std::string EndToEndTest::caption() const {
    return window->windowTitle().toLatin1().toStdString();
}

int EndToEndTest::logCount() const {
    return window->log().count();
}

std::vector<std::string> fileLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    const std::string text = bytes.str();
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = text.find("\r\n", from);
        if (end == std::string::npos) {
            lines.push_back(text.substr(from) + "<CR LF missing>");
            break;
        }
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}
