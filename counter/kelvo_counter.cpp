#include "counter/kelvo_counter.h"

#include "serial/my_com_port.h"

#include <QTimer>

namespace counter {
namespace {
const std::string kIdentify = "\x1bI\r";
} // namespace

KelvoCounter::KelvoCounter(QObject* parent)
    : QObject(parent), serialPort_(new TMyComPort(this)), identifyDeadline_(new QTimer(this)) {
    serialPort_->BaudRate = 9600;
    serialPort_->DataBits = 8;
    serialPort_->Parity = TParity::none;
    serialPort_->StopBits = 1;
    serialPort_->Delimiter = TDelimiter::CRLF;
    serialPort_->ReadTimeOut = 1500;
    connect(serialPort_, &TMyComPort::telegramReceived, this, &KelvoCounter::handleTelegram);
    connect(serialPort_, &TMyComPort::silence, this, [this] { endReplyWaits(false); });
    connect(serialPort_, &TMyComPort::deviceLost, this, &KelvoCounter::handlePortLost);
    connect(serialPort_, &TMyComPort::telegramsDropped, this, &KelvoCounter::telegramsLost);
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
    if (!port_.empty()) {
        attempts_.push_back({port_, autoIdentify});
    } else {
        serialPort_->ListPorts();
        for (const std::string& name : serialPort_->PortList) {
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
    serialPort_->ComPort = attempt.port;
    if (!serialPort_->Open()) {
        return false;
    }
    serialPort_->Write(kIdentify);
    current_ = attempt;
    identifying_ = true;
    identifyDeadline_->start(kIdentifyTimeoutMs);
    return true;
}

void KelvoCounter::finishIdentify(bool late) {
    identifyDeadline_->stop();
    identifying_ = false;
    if (late && current_.autoIdentify) {
        serialPort_->Close();
        tryNextPort();
        return;
    }
    attempts_.clear();
    device_ = late ? std::string("unknown") : idText_ + "-counter";
    port_ = current_.port;
    connected_ = true;
    emit connectFinished(true);
    if (portLost_ && connected_) {
        emit deviceLost();
    }
}

void KelvoCounter::disconnectFromCounter() {
    const bool wasIdentifying = identifying_;
    identifyDeadline_->stop();
    identifying_ = false;
    attempts_.clear();
    serialPort_->Close();
    device_.clear();
    connected_ = false;
    endReplyWaits(false);
    if (wasIdentifying) {
        emit connectFinished(false);
    }
}

void KelvoCounter::send(const std::string& bytes) {
    if (connected_) {
        serialPort_->Write(bytes);
    }
}

void KelvoCounter::handlePortLost() {
    portLost_ = true;
    if (connected_) {
        emit deviceLost();
    }
}

} // namespace counter
