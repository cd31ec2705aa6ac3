// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/serial_port.h"
#include "platform/ascii_case.h"

#include "platform/port_catalog.h"
#include "platform/serial_device.h"
#include "serial/receive_thread.h"

#include <QMetaMethod>
#include <algorithm>
#include <cctype>
#include <cerrno>

namespace serial {

namespace {

// The device of the one open port object; the receive thread holds its own reference.
std::shared_ptr<platform::SerialDevice> openDevice;

constexpr std::size_t kMaxDevicePath = 79;
constexpr std::size_t kMaxPortName = 32;
constexpr int kQueueBytes = 256;

platform::Parity lineParity(Parity parity) {
    switch (parity) {
    case Parity::Even:
        return platform::Parity::Even;
    case Parity::Odd:
        return platform::Parity::Odd;
    case Parity::Mark:
        return platform::Parity::Mark;
    case Parity::Space:
        return platform::Parity::Space;
    case Parity::None:
        break;
    }
    return platform::Parity::None;
}

const char* parityPiece(Parity parity) {
    switch (parity) {
    case Parity::Even:
        return "e";
    case Parity::Odd:
        return "o";
    case Parity::Mark:
        return "m";
    case Parity::Space:
        return "s";
    case Parity::None:
        break;
    }
    return "n";
}

} // namespace

SerialPort::SerialPort(QObject* owner) : QObject(owner) {}

SerialPort::~SerialPort() {
    close();
}

std::string SerialPort::deviceControlText() const {
    return "baud=" + std::to_string(baudRate) + " parity=" + parityPiece(parity) +
           " data=" + std::to_string(dataBits) + " stop=" + std::to_string(stopBits);
}

bool SerialPort::open(serial::PortOpenFailure* failure) {
    serial::PortOpenFailure ignored;
    serial::PortOpenFailure& why = failure ? *failure : ignored;
    why = {portName, {}, {}};
    const auto fail = [&why](platform::OpenFailureCause cause, int error = 0) {
        why.failure.cause = cause;
        why.failure.systemError = error;
        return false;
    };
    if (isOpen) {
        return fail(platform::OpenFailureCause::SystemError, EBUSY);
    }
    if (platform::asciiLower(portName).rfind("com", 0) != 0) {
        return fail(platform::OpenFailureCause::NotFound);
    }
    const std::string devicePath = "\\\\.\\" + portName;
    if (devicePath.size() > kMaxDevicePath) {
        return fail(platform::OpenFailureCause::NotFound);
    }
    if (openDevice) {
        return fail(platform::OpenFailureCause::SystemError, EBUSY);
    }
    // The name reaches a device only through the catalog, never as part of a path.
    const auto port = platform::systemPortCatalog()->find(portName);
    if (!port) {
        return fail(platform::OpenFailureCause::NotFound);
    }
    why.deviceNode = port->deviceNode;
    auto device = platform::SerialDevice::open(port->deviceNode,
                                               {.baud = baudRate,
                                                .dataBits = dataBits,
                                                .parity = lineParity(parity),
                                                .stopBits = stopBits},
                                               &why.failure);
    if (!device) {
        return false;
    }

    // Every step runs even when an earlier one failed; all must succeed.
    bool configured = device->setupQueues(kQueueBytes, kQueueBytes);
    configured = device->setTimeouts({.readInterval = 1,
                                      .readTotalMultiplier = 1,
                                      .readTotalConstant = 1,
                                      .writeTotalMultiplier = 1,
                                      .writeTotalConstant = 20}) &&
                 configured;
    if (!configured) {
        device->close();
        return fail(platform::OpenFailureCause::LineSettingsRefused);
    }

    auto receiver = std::make_shared<HandOverReceiver>();
    receiver->telegram = [this](const std::string& telegram) { emit telegramReceived(telegram); };
    if (isSignalConnected(QMetaMethod::fromSignal(&SerialPort::silence))) {
        receiver->silence = [this] { emit silence(); };
    }
    receiver->deviceLost = [this] { emit deviceLost(); };
    receiver->dropped = [this](std::uint64_t count) { emit telegramsDropped(count); };
    auto link = std::make_shared<ReceiveLink>(handOverQueueBytes);
    link->receiver = std::move(receiver);
    if (!ReceiveThread::start(link, device, readTimeoutMs, delimiter)) {
        device->close();
        return fail(platform::OpenFailureCause::SystemError, EAGAIN);
    }
    openDevice = std::move(device);
    link_ = std::move(link);
    isOpen = true;
    return true;
}

void SerialPort::close() {
    if (isOpen) {
        // The thread is not waited for; what it queued or still queues reaches nobody.
        link_->terminated = true;
        link_->receiver.reset();
        link_->queue.clear();
        openDevice->close();
        openDevice.reset();
    }
    isOpen = false;
}

void SerialPort::write(const std::string& text) {
    if (isOpen && openDevice) {
        openDevice->write(text.data(), static_cast<int>(text.size()));
    }
}

void SerialPort::listPorts() {
    portNames.clear();
    for (const std::string& portName : platform::systemPortCatalog()->comNames()) {
        portNames.push_back(platform::asciiUpper(portName).substr(0, kMaxPortName));
    }
}

} // namespace serial
