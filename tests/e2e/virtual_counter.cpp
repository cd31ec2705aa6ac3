#include "tests/e2e/virtual_counter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <charconv>
#include <csignal>
#include <fstream>

TVirtualCounter::TVirtualCounter(std::string dataHome, std::string logPath)
    : dataHome_(std::move(dataHome)), logPath_(std::move(logPath)) {}

TVirtualCounter::~TVirtualCounter() {
    Stop();
}

bool TVirtualCounter::Start(const QStringList& options) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", QString::fromStdString(dataHome_));
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments = options;
    arguments << "--log" << QString::fromStdString(logPath_);
    process_.start(VIRTUAL_KELVO_PATH, arguments);
    const QRegularExpression serving("serving (COM\\d+) at (\\S+)");
    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000 && process_.state() != QProcess::NotRunning) {
        // Short waits with the event loop turning, so a window under test stays responsive.
        QCoreApplication::processEvents();
        process_.waitForReadyRead(10);
        output += process_.readAllStandardOutput();
        const auto match = serving.match(QString::fromLatin1(output));
        if (match.hasMatch()) {
            Com = match.captured(1).toStdString();
            Device = match.captured(2).toStdString();
            return true;
        }
    }
    return false;
}

void TVirtualCounter::Stop() {
    if (process_.state() == QProcess::NotRunning) {
        return;
    }
    ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

bool TVirtualCounter::Running() const {
    return process_.state() != QProcess::NotRunning;
}

bool TVirtualCounter::WaitFinished(int timeoutMs) {
    return process_.state() == QProcess::NotRunning || process_.waitForFinished(timeoutMs);
}

std::vector<TSentTelegram> TVirtualCounter::Sent() const {
    std::vector<TSentTelegram> sent;
    std::ifstream file(logPath_);
    std::string line;
    while (std::getline(file, line)) {
        const auto tab1 = line.find('\t');
        const auto tab2 = line.find('\t', tab1 + 1);
        const auto tab3 = line.find('\t', tab2 + 1);
        if (tab3 == std::string::npos) {
            continue; // a line still being written
        }
        TSentTelegram telegram;
        std::from_chars(line.data(), line.data() + tab1, telegram.Seconds);
        telegram.Kind = line.substr(tab1 + 1, tab2 - tab1 - 1);
        double value = 0;
        const char* first = line.data() + tab2 + 1;
        const char* last = line.data() + tab3;
        if (std::from_chars(first, last, value).ec == std::errc{}) {
            telegram.Value = value;
        }
        telegram.Text = line.substr(tab3 + 1);
        sent.push_back(std::move(telegram));
    }
    return sent;
}

std::vector<TSentTelegram> TVirtualCounter::SentReadings() const {
    std::vector<TSentTelegram> readings;
    for (TSentTelegram& telegram : Sent()) {
        if (telegram.Kind == "reading") {
            readings.push_back(std::move(telegram));
        }
    }
    return readings;
}
