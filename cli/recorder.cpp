// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/recorder.h"

#include "cli/diagnostics.h"
#include "counter/measurement_writer.h"
#include "platform/clock.h"
#include "serial/port_open_failure.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace cli {

namespace {

// The counter's replies to a command it does not know or to a number it does not take.
bool isRefusal(const std::string& reply) {
    return reply == "?" || reply == "ERR";
}

void printLine(const std::string& text) {
    print(text);
    std::fflush(stdout);
}

} // namespace

Recorder::Recorder(RecordRequest request, platform::PortInfo port,
                   std::function<void(ExitCode)> onFinished)
    : request_(std::move(request)), port_(std::move(port)), onFinished_(std::move(onFinished)) {
    replyDeadline_.setSingleShot(true);
    durationTimer_.setSingleShot(true);
    QObject::connect(&counter_, &counter::KelvoCounter::connectFinished, &counter_,
                     [this](bool connected) { finishConnect(connected); });
    QObject::connect(&counter_, &counter::KelvoCounter::commandFinished, &counter_,
                     [this](bool answered) { finishStep(answered); });
    QObject::connect(&replyDeadline_, &QTimer::timeout, &counter_, [this] { finishStep(false); });
    QObject::connect(&counter_, &counter::KelvoCounter::readingReceived, &counter_,
                     [this](const counter::Reading& reading) { addReading(reading); });
    QObject::connect(&counter_, &counter::KelvoCounter::statusReceived, &counter_,
                     [this](const std::string& telegram) { addStatus(telegram); });
    QObject::connect(&counter_, &counter::KelvoCounter::deviceLost, &counter_,
                     [this] { handleDeviceLost(); });
    QObject::connect(&durationTimer_, &QTimer::timeout, &counter_, [this] { checkDuration(); });
    QObject::connect(
        &reconnector_, &counter::Reconnector::reconnected, &counter_,
        [this](const std::string& port, std::int64_t lostMs) { resume(port, lostMs); });
}

Recorder::~Recorder() {
    closeJournal(true);
}

std::int64_t Recorder::elapsedMs() const {
    return platform::monotonicMs() - startMs_;
}

void Recorder::start() {
    if (ended_) {
        return; // stopped before it began
    }
    startTime_ = platform::nowDateTime();
    startMs_ = platform::monotonicMs();
    if (!request_.journalPath.empty()) {
        // The writer reports from its own thread; the warning is told on the main thread.
        journal_ = std::make_unique<counter::JournalWriter>(
            request_.journalPath, counter::JournalHeader{startTime_, port_.comName},
            [this](const std::string& reason) {
                QMetaObject::invokeMethod(&counter_, [this, reason] {
                    warn("the journal " + request_.journalPath + " stopped: " + reason +
                         "; the recording goes on in memory");
                });
            });
    }
    counter_.setPort(port_.comName);
    counter_.connectToCounter(true);
}

void Recorder::stop() {
    end(ExitCode::Done, {});
}

void Recorder::finishConnect(bool connected) {
    if (connected) {
        sendNextStep();
        return;
    }
    if (const auto& failure = counter_.openFailure()) {
        end(ExitCode::NoPort, serial::openFailureText(*failure));
        return;
    }
    end(ExitCode::NoCounter, "no KELVO counter answered on " + port_.comName + " (" +
                                 port_.deviceNode + ") within " +
                                 std::to_string(counter::KelvoCounter::kIdentifyTimeoutMs) + " ms");
}

void Recorder::sendNextStep() {
    if (ended_ || counter_.deviceGone()) {
        return;
    }
    if (nextStep_ == request_.setup.size()) {
        startMeasuring();
        return;
    }
    const SetupStep& step = request_.setup[nextStep_];
    lastReply_.clear();
    if (!step.send(counter_)) {
        end(ExitCode::NoCounter, "could not send " + step.what + " to the counter");
        return;
    }
    stepPending_ = true;
    replyDeadline_.start(kReplyTimeoutMs);
}

// After a reconnect the driver may still hold reply waits of commands sent to the lost device; the
// first reply ends them together with the step's own, so only the first end counts and the next
// step goes out once they are all through.
void Recorder::finishStep(bool answered) {
    if (!stepPending_ || ended_) {
        return; // the reply to the start of the measurement, or to the stop at the end
    }
    stepPending_ = false;
    replyDeadline_.stop();
    const SetupStep& step = request_.setup[nextStep_];
    if (!answered) {
        end(ExitCode::NoCounter,
            "the counter on " + port_.comName + " did not answer " + step.what);
        return;
    }
    if (isRefusal(lastReply_)) {
        end(ExitCode::NoCounter,
            "the counter refused " + step.what + " (it answered '" + lastReply_ + "')");
        return;
    }
    ++nextStep_;
    QTimer::singleShot(0, &counter_, [this] { sendNextStep(); });
}

void Recorder::startMeasuring() {
    if (!counter_.measureContinuous()) {
        end(ExitCode::NoCounter, "could not start the measurement");
        return;
    }
    if (recording_) {
        return; // measuring again after a reconnect
    }
    recording_ = true;
    printLine(counter::datHeader(startTime_, QLocale::system(), "\n"));
    checkDuration();
}

// Stops once --duration has passed since the connect, like the time stamps; a QTimer holds at most
// some 24 days, so a longer span takes several turns.
void Recorder::checkDuration() {
    if (!request_.durationSeconds) {
        return;
    }
    const double left = *request_.durationSeconds * 1000 - static_cast<double>(elapsedMs());
    if (left <= 0) {
        stop();
        return;
    }
    durationTimer_.start(static_cast<int>(std::min(std::ceil(left), 2e9)));
}

void Recorder::addReading(const counter::Reading& reading) {
    if (!recording_ || ended_) {
        return;
    }
    // Whole milliseconds on the monotonic clock, as the window logs them.
    const std::int64_t now = elapsedMs();
    const auto timeMs = static_cast<double>(now);
    readings_.push_back({timeMs, reading.value});
    if (journal_) {
        journal_->appendReading(timeMs, reading.value, reading.unitText, reading.telegram);
    }
    printLine(
        counter::measurementLine(counter::MeasurementFormat::Dat, timeMs, reading.value, '.') +
        '\n');
    progress_.show(progressText(readings_.size(), reading.value, reading.isPeriod, now), now);
    if (request_.count && readings_.size() >= *request_.count) {
        stop();
    }
}

void Recorder::addStatus(const std::string& telegram) {
    lastReply_ = telegram;
    if (journal_) {
        journal_->appendStatus(static_cast<double>(elapsedMs()), telegram);
    }
}

// The device went away under the connection. A logger left alone for a week waits for it as long
// as it takes; --duration and a stop signal still end the recording meanwhile.
void Recorder::handleDeviceLost() {
    replyDeadline_.stop();
    stepPending_ = false;
    if (!reconnector_.waiting()) {
        end(ExitCode::NoCounter,
            counter_.port() + " (" + port_.deviceNode + ") went away (unplugged?) after " +
                std::to_string(readings_.size()) +
                " readings; the system's port list has nothing to know it again by" +
                (request_.outPath.empty() ? std::string() : "; they are in " + request_.outPath));
        return;
    }
    progress_.finish();
    tell("Serial device " + counter_.port() + " lost; waiting for it to come back");
}

// The same device is back: the counter may have been switched off meanwhile, so it is set up
// again from the first step.
void Recorder::resume(const std::string& port, std::int64_t lostMs) {
    if (ended_) {
        return;
    }
    tell("Serial device " + port + " reconnected; " +
         QString::number(static_cast<double>(lostMs) / 1000, 'f', 1).toStdString() + " s lost");
    nextStep_ = 0;
    sendNextStep();
}

void Recorder::end(ExitCode code, const std::string& message) {
    if (ended_) {
        return;
    }
    ended_ = true;
    replyDeadline_.stop();
    durationTimer_.stop();
    if (recording_ && counter_.isConnected() && !counter_.deviceGone()) {
        counter_.measureStop();
    }
    counter_.disconnectFromCounter();
    progress_.finish();
    if (journal_) {
        journal_->appendDisconnect(static_cast<double>(elapsedMs()));
    }
    std::string writeError;
    if ((recording_ || code == ExitCode::Done) && !request_.outPath.empty()) {
        writeError = writeFile();
    }
    closeJournal(!writeError.empty() || code != ExitCode::Done || request_.keepJournal);
    if (!writeError.empty()) {
        fail(ExitCode::Unwritable, writeError);
        if (code == ExitCode::Done) {
            code = ExitCode::Unwritable;
        }
    }
    if (code != ExitCode::Done) {
        fail(code, message);
    }
    onFinished_(code);
}

std::string Recorder::writeFile() {
    const std::string error = counter::saveMeasurement(
        request_.outPath, request_.outFormat, readings_.size(),
        [this](std::size_t i) { return readings_[i]; }, startTime_, QLocale::system());
    if (error.empty()) {
        return {};
    }
    return "cannot write " + request_.outPath + ": " + error +
           (journal_ ? "; the readings are in the journal " + request_.journalPath : std::string());
}

void Recorder::closeJournal(bool keep) {
    if (!journal_) {
        return;
    }
    const bool complete = journal_->close();
    journal_.reset();
    if (!keep && complete) {
        std::error_code ignored;
        std::filesystem::remove(request_.journalPath, ignored);
    }
}

} // namespace cli
