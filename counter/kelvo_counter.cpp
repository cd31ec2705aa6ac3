// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/kelvo_counter.h"

#include "serial/serial_port.h"

#include <QTimer>

namespace counter {
namespace {
const std::string kIdentify = "\x1bI\r";
} // namespace

KelvoCounter::KelvoCounter(QObject* parent)
    : QObject(parent), serialPort_(new serial::SerialPort(this)),
      identifyDeadline_(new QTimer(this)) {
    serialPort_->baudRate = 9600;
    serialPort_->dataBits = 8;
    serialPort_->parity = serial::Parity::None;
    serialPort_->stopBits = 1;
    serialPort_->delimiter = serial::Delimiter::CrLf;
    serialPort_->readTimeoutMs = 1500;
    connect(serialPort_, &serial::SerialPort::telegramReceived, this,
            &KelvoCounter::handleTelegram);
    connect(serialPort_, &serial::SerialPort::silence, this, [this] { endReplyWaits(false); });
    connect(serialPort_, &serial::SerialPort::deviceLost, this, &KelvoCounter::handlePortLost);
    connect(serialPort_, &serial::SerialPort::telegramsDropped, this, &KelvoCounter::telegramsLost);
    identifyDeadline_->setSingleShot(true);
    connect(identifyDeadline_, &QTimer::timeout, this, [this] { finishIdentify(true); });
}

KelvoCounter::~KelvoCounter() = default;

void KelvoCounter::connectToCounter(bool autoIdentify) {
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
    scanning_ = port_.empty();
    if (!port_.empty()) {
        attempts_.push_back({port_, autoIdentify});
    } else {
        serialPort_->listPorts();
        for (const std::string& name : serialPort_->portNames) {
            attempts_.push_back({name, true});
        }
    }
    tryNextPort();
}

void KelvoCounter::tryNextPort() {
    while (!attempts_.empty()) {
        const Attempt next = attempts_.back();
        attempts_.pop_back();
        if (startIdentify(next)) {
            return;
        }
    }
    emit connectFinished(false);
}

bool KelvoCounter::startIdentify(const Attempt& attempt) {
    portLost_ = false;
    serialPort_->portName = attempt.port;
    serial::PortOpenFailure failure;
    if (!serialPort_->open(&failure)) {
        keepFailure(failure);
        return false;
    }
    serialPort_->write(kIdentify);
    current_ = attempt;
    identifying_ = true;
    identifyDeadline_->start(kIdentifyTimeoutMs);
    return true;
}

void KelvoCounter::keepFailure(const serial::PortOpenFailure& failure) {
    const auto cause = failure.failure.cause;
    const bool telling = cause == platform::OpenFailureCause::NoPermission ||
                         cause == platform::OpenFailureCause::InUse;
    if (!scanning_ || (telling && !openFailure_)) {
        openFailure_ = failure;
    }
}

void KelvoCounter::finishIdentify(bool late) {
    identifyDeadline_->stop();
    identifying_ = false;
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
    device_ = late ? std::string("unknown") : idText_ + "-counter";
    port_ = current_.port;
    connected_ = true;
    emit connectFinished(true);
    if (portLost_ && connected_) {
        handlePortLost();
    }
}

void KelvoCounter::reopen() {
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

// The port's identity brought us here; the identification makes sure it is the same counter.
void KelvoCounter::finishReopen(bool late) {
    reopening_ = false;
    const bool sameCounter = late ? device_ == "unknown" : idText_ + "-counter" == device_;
    if (!sameCounter || portLost_) {
        serialPort_->close();
        portLost_ = true;
        emit reopenFinished(false);
        return;
    }
    emit reopenFinished(true);
}

void KelvoCounter::disconnectFromCounter() {
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

void KelvoCounter::send(const std::string& bytes) {
    if (connected_) {
        serialPort_->write(bytes);
    }
}

// The lost device is let go at once: a replugged adapter then gets its old device node back.
void KelvoCounter::handlePortLost() {
    portLost_ = true;
    if (connected_ && !identifying_) {
        serialPort_->close();
        emit deviceLost();
    }
}

} // namespace counter
