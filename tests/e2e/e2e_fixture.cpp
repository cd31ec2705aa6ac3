#include "tests/e2e/e2e_fixture.h"

#include "app/log_model.h"
#include "counter/float_text.h"
#include "counter/kelvo_counter.h"
#include "portselect/com_port_combo_box.h"
#include "tests/support/menu_action.h"

#include <QAction>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <charconv>
#include <fstream>
#include <sstream>

EndToEndTest::~EndToEndTest() {
    Form.reset();
    Counters.clear();
}

TVirtualCounter& EndToEndTest::StartCounter(const QStringList& options,
                                            const std::string& logName) {
    Counters.push_back(std::make_unique<TVirtualCounter>(Sandbox.Path(), FolderFile(logName)));
    EXPECT_TRUE(Counters.back()->Start(options)) << "the virtual counter did not come up";
    return *Counters.back();
}

app::MainWindow& EndToEndTest::OpenWindow() {
    app::WindowEnvironment environment;
    environment.settingsFolder = Sandbox.Path();
    environment.dialogs = Dialogs;
    Form = std::make_unique<app::MainWindow>(environment);
    Form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    return *Form;
}

void EndToEndTest::PickPort(const std::string& com) {
    TComPortComboBox& selector = *Form->connectPage().portSelector();
    for (std::size_t i = 0; i < selector.ShownPorts.size(); ++i) {
        if (selector.ShownPorts[i].Name == com) {
            selector.setCurrentIndex(static_cast<int>(i));
            emit selector.activated(static_cast<int>(i));
            return;
        }
    }
    ADD_FAILURE() << com << " is not listed in the port selector";
}

void EndToEndTest::PressConnect() {
    QTest::mouseClick(Form->connectPage().connectButton(), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([this] { return Form->isEnabled(); }, 30000));
}

void EndToEndTest::Choose(QMenu* menu, const std::vector<std::string>& path) {
    QAction* action = FindMenuAction(menu, path);
    ASSERT_NE(action, nullptr) << path.back();
    action->trigger();
}

void EndToEndTest::Command(const std::vector<std::string>& path) {
    Choose(Form->commandsPage().commandMenu(), path);
    // A flood of readings ahead of the reply drains first.
    EXPECT_TRUE(WaitFor([this] { return !Form->counter().awaitingReply(); }, 240000));
}

bool EndToEndTest::WaitFor(const std::function<bool()>& done, int timeoutMs) {
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

void EndToEndTest::WaitLogQuiet(int quietMs) {
    int count = -1;
    QElapsedTimer still;
    still.start();
    while (still.elapsed() < quietMs) {
        QTest::qWait(20);
        if (LogCount() != count) {
            count = LogCount();
            still.restart();
        }
    }
}

void EndToEndTest::WaitCaughtUp(const TVirtualCounter& counter, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    std::size_t sent = counter.SentReadings().size();
    int logged = LogCount();
    QElapsedTimer still;
    still.start();
    while (clock.elapsed() < timeoutMs && still.elapsed() < 800) {
        QTest::qWait(50);
        const std::size_t sentNow = counter.SentReadings().size();
        if (sentNow != sent || LogCount() != logged) {
            sent = sentNow;
            logged = LogCount();
            still.restart();
        }
    }
}

std::vector<TLoggedReading> EndToEndTest::LoggedReadings() const {
    std::vector<TLoggedReading> readings;
    const char separator = counter::machineDecimalSeparator();
    for (int i = 0; i < Form->log().count(); ++i) {
        std::string line = Form->log().line(i);
        for (char& c : line) {
            c = c == separator ? '.' : c;
        }
        std::istringstream words(line);
        std::string time;
        std::string value;
        words >> time >> value;
        TLoggedReading reading;
        std::from_chars(time.data(), time.data() + time.size(), reading.TimeMs);
        std::from_chars(value.data(), value.data() + value.size(), reading.Value);
        readings.push_back(reading);
    }
    return readings;
}

std::string EndToEndTest::FolderFile(const std::string& name) const {
    return Sandbox.File(name);
}

std::string EndToEndTest::Caption() const {
    return Form->windowTitle().toLatin1().toStdString();
}

int EndToEndTest::LogCount() const {
    return Form->log().count();
}

std::vector<std::string> FileLines(const std::string& path) {
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
