// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/session.h"

#include "platform/clock.h"
#include "recording/reconnector.h"

#include <algorithm>
#include <utility>

namespace recording {

Session::Session(const counter::Instrument& instrument, JournalFolder journalFolder,
                 QObject* parent, Clock clock)
    : QObject(parent), clock_(clock ? std::move(clock) : platform::monotonicMs),
      driver_(instrument, this, clock_),
      reconnector_(new Reconnector(driver_, this, Reconnector::kPollMs, clock_)),
      journal_(std::move(journalFolder), this) {
    replyDeadline_.setSingleShot(true);
    connect(&driver_, &counter::Driver::connectFinished, this, &Session::finishConnect);
    connect(&driver_, &counter::Driver::commandFinished, this, &Session::finishStep);
    connect(&replyDeadline_, &QTimer::timeout, this, [this] { finishStep(false); });
    connect(&driver_, &counter::Driver::readingReceived, this, &Session::takeReading);
    connect(&driver_, &counter::Driver::statusReceived, this, &Session::takeStatus);
    connect(&driver_, &counter::Driver::deviceLost, this, &Session::loseDevice);
    connect(&driver_, &counter::Driver::telegramsLost, this, &Session::noteLoss);
    connect(reconnector_, &Reconnector::reconnected, this, &Session::resume);
    connect(&journal_, &RecordingJournal::stopped, this, &Session::journalStopped);
}

Session::~Session() = default;

void Session::setInstrument(const counter::Instrument& instrument) {
    driver_.setInstrument(instrument);
}

double Session::elapsedMs() const {
    return static_cast<double>(clock_() - startMs_);
}

double Session::sinceStart(std::int64_t arrivalMs) const {
    return static_cast<double>(arrivalMs - startMs_);
}

void Session::start(SessionPlan plan) {
    plan_ = std::move(plan);
    startTime_ = platform::nowDateTime();
    startMs_ = clock_();
    nextStep_ = 0;
    stepPending_ = false;
    recording_ = false;
    running_ = true;
    lostTelegrams_ = 0;
    lastReadingMs_.reset();
    pendingLoss_ = 0;
    const JournalHeader header{startTime_, plan_.port, std::string(instrument().name())};
    switch (plan_.journal) {
    case SessionPlan::Journal::InFolder:
        journal_.start(header);
        break;
    case SessionPlan::Journal::AtPath:
        journal_.startAt(plan_.journalPath, header);
        break;
    case SessionPlan::Journal::None:
        journal_.discard();
        break;
    }
    driver_.setPort(plan_.port);
    driver_.connectToInstrument(plan_.autoIdentify);
}

bool Session::stop() {
    const bool wasRunning = std::exchange(running_, false);
    replyDeadline_.stop();
    stepPending_ = false;
    if (recording_ && plan_.start && driver_.isConnected() && !driver_.deviceGone()) {
        if (const auto* stopCommand =
                counter::findCommand(instrument(), counter::SetupRole::Stop)) {
            driver_.sendCommand(*stopCommand);
        }
    }
    driver_.disconnectFromInstrument();
    if (wasRunning) {
        closeLoss(elapsedMs());
    }
    return wasRunning && journal_.finish(elapsedMs());
}

bool Session::awaitingDevice() const {
    return reconnector_->waiting();
}

void Session::finishConnect(bool connected) {
    emit connectFinished(connected);
    if (connected && running_) {
        sendNextStep();
    }
}

void Session::sendNextStep() {
    if (!running_ || driver_.deviceGone()) {
        return;
    }
    if (nextStep_ == plan_.setup.size()) {
        startMeasuring();
        return;
    }
    stepTries_ = 0;
    sendStep();
}

void Session::sendStep() {
    const SetupStep& step = plan_.setup[nextStep_];
    const bool sent =
        step.command ? driver_.sendCommand(*step.command) : driver_.sendOwnCommand(step.ownCommand);
    if (!sent) {
        emit setupFailed("could not send " + step.what + " to the counter");
        return;
    }
    ++stepTries_;
    noiseBeforeStep_ = driver_.noiseTelegrams();
    stepPending_ = true;
    replyDeadline_.start(kReplyTimeoutMs);
}

// After a reconnect the driver may still hold reply waits of commands sent to the lost device; the
// first reply ends them together with the step's own, so only the first end counts and the next
// step goes out once they are all through.
void Session::finishStep(bool answered) {
    if (!stepPending_ || !running_) {
        return; // the reply to the start of the measurement, or to a command of the user's
    }
    stepPending_ = false;
    replyDeadline_.stop();
    const SetupStep& step = plan_.setup[nextStep_];
    // Line noise came instead of the reply: the reply was lost on the line, so the step is sent
    // again. The set-up commands only set what they set, so a second one changes nothing more.
    const bool noisy = driver_.noiseTelegrams() > noiseBeforeStep_;
    if (!answered && noisy && stepTries_ < kStepTries) {
        sendStep();
        return;
    }
    if (!answered) {
        emit setupFailed("the counter on " + driver_.port() + " did not answer " + step.what +
                         (noisy ? " (" + std::to_string(stepTries_) +
                                      " tries; the line carried noise instead of its reply)"
                                : std::string()));
        return;
    }
    const std::string& reply = driver_.lastReply();
    if (instrument().isRefusal(reply)) {
        emit setupFailed("the counter refused " + step.what + " (it answered '" + reply + "')");
        return;
    }
    ++nextStep_;
    QTimer::singleShot(0, this, [this] { sendNextStep(); });
}

void Session::startMeasuring() {
    if (plan_.start && !driver_.sendCommand(*plan_.start)) {
        emit setupFailed("could not start the measurement");
        return;
    }
    if (!std::exchange(recording_, true)) {
        emit setupFinished();
    }
}

void Session::takeReading(const counter::Reading& reading) {
    if (!recording_ || !running_) {
        return; // readings of the settings before the set-up
    }
    const double timeMs = sinceStart(reading.arrivalMs);
    closeLoss(timeMs);
    lastReadingMs_ = timeMs;
    journal_.addReading(timeMs, reading);
    emit readingReceived(reading, timeMs);
}

void Session::takeStatus(const std::string& telegram, std::int64_t arrivalMs) {
    const double timeMs = sinceStart(arrivalMs);
    journal_.addStatus(timeMs, telegram);
    emit statusReceived(telegram, timeMs);
}

void Session::loseDevice() {
    replyDeadline_.stop();
    stepPending_ = false;
    emit deviceLost();
}

// The same device is back: the instrument may have been switched off meanwhile, so it is set up
// again from the first step.
void Session::resume(const std::string& port, std::int64_t lostMs) {
    if (!running_) {
        return;
    }
    const double backMs = elapsedMs();
    const double goneMs = backMs - static_cast<double>(lostMs);
    closeLoss(goneMs);
    recordGap({goneMs, backMs, GapCause::Reconnect, 0});
    emit reconnected(port, lostMs);
    nextStep_ = 0;
    sendNextStep();
}

void Session::noteLoss(std::uint64_t count) {
    lostTelegrams_ += count;
    if (running_ && pendingLoss_ == 0) {
        lossStartMs_ = lastReadingMs_.value_or(elapsedMs());
    }
    pendingLoss_ += running_ ? count : 0;
    emit telegramsLost(count);
}

void Session::closeLoss(double endMs) {
    if (pendingLoss_ == 0) {
        return;
    }
    const std::uint64_t lost = std::exchange(pendingLoss_, 0);
    recordGap({lossStartMs_, std::max(endMs, lossStartMs_), GapCause::LostTelegrams, lost});
}

void Session::recordGap(const Gap& gap) {
    journal_.addGap(gap);
    emit gapFound(gap);
}

} // namespace recording
