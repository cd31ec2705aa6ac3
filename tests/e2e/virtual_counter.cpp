// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/e2e/virtual_counter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <charconv>
#include <fstream>

VirtualCounter::VirtualCounter(std::string dataHome, std::string logPath)
    : dataHome_(std::move(dataHome)), logPath_(std::move(logPath)) {}

VirtualCounter::~VirtualCounter() {
    stop();
}

bool VirtualCounter::start(const QStringList& options) {
    std::vector<std::string> arguments;
    for (const QString& option : options) {
        arguments.push_back(option.toStdString());
    }
    arguments.push_back("--log");
    arguments.push_back(logPath_);
    if (!process_.start(VIRTUAL_KELVO_PATH, arguments, {{"XDG_DATA_HOME", dataHome_}})) {
        return false;
    }
    const QRegularExpression serving("serving (COM\\d+) at (\\S+)");
    std::string output;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000 && process_.running()) {
        // Short waits with the event loop turning, so a window under test stays responsive.
        QCoreApplication::processEvents();
        output += process_.readOutput(10);
        const auto match = serving.match(QString::fromStdString(output));
        if (match.hasMatch()) {
            comName = match.captured(1).toStdString();
            device = match.captured(2).toStdString();
            return true;
        }
    }
    return false;
}

void VirtualCounter::stop() {
    process_.stop();
}

bool VirtualCounter::running() {
    return process_.running();
}

bool VirtualCounter::waitFinished(int timeoutMs) {
    return process_.waitFinished(timeoutMs);
}

std::vector<SentTelegram> VirtualCounter::sent() const {
    std::vector<SentTelegram> sent;
    std::ifstream file(logPath_);
    std::string line;
    while (std::getline(file, line)) {
        const auto tab1 = line.find('\t');
        const auto tab2 = line.find('\t', tab1 + 1);
        const auto tab3 = line.find('\t', tab2 + 1);
        if (tab3 == std::string::npos) {
            continue; // a line still being written
        }
        SentTelegram telegram;
        std::from_chars(line.data(), line.data() + tab1, telegram.seconds);
        telegram.kind = line.substr(tab1 + 1, tab2 - tab1 - 1);
        double value = 0;
        const char* first = line.data() + tab2 + 1;
        const char* last = line.data() + tab3;
        if (std::from_chars(first, last, value).ec == std::errc{}) {
            telegram.value = value;
        }
        telegram.text = line.substr(tab3 + 1);
        sent.push_back(std::move(telegram));
    }
    return sent;
}

std::vector<SentTelegram> VirtualCounter::sentReadings() const {
    std::vector<SentTelegram> readings;
    for (SentTelegram& telegram : sent()) {
        if (telegram.kind == "reading") {
            readings.push_back(std::move(telegram));
        }
    }
    return readings;
}
