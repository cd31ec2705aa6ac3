// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/driver.h"

#include "platform/ascii_case.h"
#include "platform/port_catalog.h"

#include <QTimer>
#include <utility>

namespace counter {

Driver::Driver(const Instrument& instrument, QObject* parent,
               serial::SerialPort::Clock arrivalClock)
    : QObject(parent), instrument_(&instrument),
      serialPort_(new serial::SerialPort(this, std::move(arrivalClock))),
      identifyDeadline_(new QTimer(this)) {
    connect(serialPort_, &serial::SerialPort::telegramReceived, this, &Driver::handleTelegram);
    connect(serialPort_, &serial::SerialPort::silence, this, [this] { endReplyWaits(false); });
    connect(serialPort_, &serial::SerialPort::deviceLost, this, &Driver::handlePortLost);
    connect(serialPort_, &serial::SerialPort::telegramsDropped, this, &Driver::telegramsLost);
    identifyDeadline_->setSingleShot(true);
    connect(identifyDeadline_, &QTimer::timeout, this, [this] { finishIdentify(true); });
}

Driver::~Driver() = default;

void Driver::connectToInstrument(bool autoIdentify) {
    if (connected_) {
        emit connectFinished(true);
        return;
    }
    if (identifying_) {
        return; // the connect under way ends with its own connectFinished
    }
    device_.clear();
    attempts_.clear();
    openFailure_.reset();
    noiseTelegrams_ = 0;
    scanning_ = port_.empty();
    if (!port_.empty()) {
        attempts_.push_back({port_, autoIdentify});
    } else {
        for (const std::string& name : platform::systemPortCatalog()->comNames()) {
            attempts_.push_back({platform::asciiUpper(name), true});
        }
    }
    tryNextPort();
}

void Driver::tryNextPort() {
    while (!attempts_.empty()) {
        const Attempt next = attempts_.back();
        attempts_.pop_back();
        if (startIdentify(next)) {
            return;
        }
    }
    emit connectFinished(false);
}

bool Driver::startIdentify(const Attempt& attempt) {
    portLost_ = false;
    serial::PortOpenFailure failure;
    const serial::PortSettings settings{.line = instrument_->line(),
                                        .delimiter = instrument_->delimiter(),
                                        .silenceMs = instrument_->silenceMs()};
    if (!serialPort_->open(attempt.port, settings, &failure)) {
        keepFailure(failure);
        return false;
    }
    current_ = attempt;
    identifyTries_ = 0;
    askIdentity();
    return true;
}

void Driver::askIdentity() {
    serialPort_->write(std::string(instrument_->identifyCommand()));
    ++identifyTries_;
    heardWhileIdentifying_ = false;
    identifying_ = true;
    identifyDeadline_->start(instrument_->identifyTimeoutMs());
}

void Driver::keepFailure(const serial::PortOpenFailure& failure) {
    const auto cause = failure.failure.cause;
    const bool telling = cause == platform::OpenFailureCause::NoPermission ||
                         cause == platform::OpenFailureCause::InUse;
    if (!scanning_ || (telling && !openFailure_)) {
        openFailure_ = failure;
    }
}

void Driver::finishIdentify(bool late) {
    identifyDeadline_->stop();
    identifying_ = false;
    // The port is alive, but what it said was no identification: asked again where only the
    // identification connects.
    if (late && current_.autoIdentify && heardWhileIdentifying_ &&
        identifyTries_ < kIdentifyTries) {
        askIdentity();
        return;
    }
    if (reopening_) {
        finishReopen(late);
        return;
    }
    if (late && current_.autoIdentify) {
        serialPort_->close();
        tryNextPort();
        return;
    }
    attempts_.clear();
    openFailure_.reset();
    device_ = late ? std::string("unknown") : instrument_->deviceName(idText_);
    port_ = current_.port;
    connected_ = true;
    emit connectFinished(true);
    if (portLost_ && connected_) {
        handlePortLost();
    }
}

void Driver::reopen() {
    if (!deviceGone() || reopening_) {
        return;
    }
    serialPort_->close();
    reopening_ = true;
    if (!startIdentify({port_, device_ != "unknown"})) {
        reopening_ = false;
        portLost_ = true;
        emit reopenFinished(false);
    }
}

// The port's identity brought us here; the identification makes sure it is the same instrument.
void Driver::finishReopen(bool late) {
    reopening_ = false;
    const bool sameInstrument =
        late ? device_ == "unknown" : instrument_->deviceName(idText_) == device_;
    if (!sameInstrument || portLost_) {
        serialPort_->close();
        portLost_ = true;
        emit reopenFinished(false);
        return;
    }
    emit reopenFinished(true);
}

void Driver::disconnectFromInstrument() {
    const bool wasIdentifying = identifying_ && !reopening_;
    identifyDeadline_->stop();
    identifying_ = false;
    reopening_ = false;
    attempts_.clear();
    serialPort_->close();
    device_.clear();
    connected_ = false;
    endReplyWaits(false);
    if (wasIdentifying) {
        emit connectFinished(false);
    }
}

void Driver::send(const std::string& bytes) {
    if (connected_) {
        serialPort_->write(bytes);
    }
}

bool Driver::sendCommand(const InstrumentCommand& command, int value) {
    return this->command(instrument_->commandBytes(command, value));
}

bool Driver::sendOwnCommand(const std::string& text) {
    return command(instrument_->ownCommandBytes(text));
}

bool Driver::command(const std::string& bytes) {
    if (!connected_) {
        return false;
    }
    send(bytes);
    ++pendingReplies_;
    return true;
}

// The lost device is let go at once: a replugged adapter then gets its old device node back.
void Driver::handlePortLost() {
    portLost_ = true;
    if (connected_ && !identifying_) {
        serialPort_->close();
        emit deviceLost();
    }
}

void Driver::handleTelegram(const std::string& telegram, std::int64_t arrivalMs) {
    heardWhileIdentifying_ = heardWhileIdentifying_ || identifying_;
    if (instrument_->isIdentification(telegram)) {
        idText_ = telegram;
        // It connects; it is no reply to anything.
        if (identifying_) {
            finishIdentify(false);
            return;
        }
    }
    if (!connected_ || reopening_) {
        return;
    }
    if (auto reading = instrument_->reading(telegram)) {
        noiseTelegrams_ += reading->telegram.size() < telegram.size() ? 1 : 0;
        reading->arrivalMs = arrivalMs;
        emit readingReceived(*reading);
        return;
    }
    handleStatus(telegram, arrivalMs);
}

void Driver::handleStatus(const std::string& telegram, std::int64_t arrivalMs) {
    switch (instrument_->statusKind(telegram)) {
    case StatusKind::Reply:
        lastReply_ = telegram;
        emit statusReceived(telegram, arrivalMs);
        endReplyWaits(true);
        break;
    case StatusKind::Message:
        if (!telegram.empty()) {
            emit statusReceived(telegram, arrivalMs);
        }
        break;
    case StatusKind::Noise:
        ++noiseTelegrams_;
        break;
    }
}

void Driver::endReplyWaits(bool answered) {
    for (int waits = std::exchange(pendingReplies_, 0); waits > 0; --waits) {
        emit commandFinished(answered);
    }
}

} // namespace counter
