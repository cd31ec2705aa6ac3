// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/serial_port.h"

#include "platform/ascii_case.h"
#include "platform/clock.h"
#include "platform/port_catalog.h"
#include "platform/serial_device.h"
#include "serial/receive_thread.h"

#include <QMetaMethod>
#include <cerrno>

namespace serial {

namespace {

// The device of the one open port object; the receive thread holds its own reference.
std::shared_ptr<platform::SerialDevice> openDevice;

} // namespace

SerialPort::SerialPort(QObject* owner, Clock arrivalClock)
    : QObject(owner),
      arrivalClock_(arrivalClock ? std::move(arrivalClock) : platform::monotonicMs) {}

SerialPort::~SerialPort() {
    close();
}

bool SerialPort::open(const std::string& comName, const PortSettings& settings,
                      serial::PortOpenFailure* failure) {
    serial::PortOpenFailure ignored;
    serial::PortOpenFailure& why = failure ? *failure : ignored;
    why = {comName, {}, {}};
    const auto fail = [&why](platform::OpenFailureCause cause, int error = 0) {
        why.failure.cause = cause;
        why.failure.systemError = error;
        return false;
    };
    if (isOpen()) {
        return fail(platform::OpenFailureCause::SystemError, EBUSY);
    }
    if (platform::asciiLower(comName).rfind("com", 0) != 0) {
        return fail(platform::OpenFailureCause::NotFound);
    }
    if (openDevice) {
        return fail(platform::OpenFailureCause::SystemError, EBUSY);
    }
    // The name reaches a device only through the catalog, never as part of a path.
    const auto port = platform::systemPortCatalog()->find(comName);
    if (!port) {
        return fail(platform::OpenFailureCause::NotFound);
    }
    why.deviceNode = port->deviceNode;
    auto device = platform::SerialDevice::open(port->deviceNode, settings.line, &why.failure);
    if (!device) {
        return false;
    }

    auto receiver = std::make_shared<HandOverReceiver>();
    receiver->telegram = [this](const std::string& telegram, std::int64_t arrivalMs) {
        emit telegramReceived(telegram, arrivalMs);
    };
    if (isSignalConnected(QMetaMethod::fromSignal(&SerialPort::silence))) {
        receiver->silence = [this] { emit silence(); };
    }
    receiver->deviceLost = [this] { emit deviceLost(); };
    receiver->dropped = [this](std::uint64_t count) { emit telegramsDropped(count); };
    auto link = std::make_shared<ReceiveLink>(settings.handOverQueueBytes, arrivalClock_);
    link->receiver = std::move(receiver);
    if (!ReceiveThread::start(link, device, settings.silenceMs, settings.delimiter)) {
        device->close();
        return fail(platform::OpenFailureCause::SystemError, EAGAIN);
    }
    openDevice = std::move(device);
    link_ = std::move(link);
    return true;
}

void SerialPort::close() {
    if (link_) {
        // The thread is not waited for; what it queued or still queues reaches nobody.
        link_->terminate();
        link_->receiver.reset();
        link_->queue.clear();
        link_.reset();
        openDevice->close();
        openDevice.reset();
    }
}

void SerialPort::write(const std::string& bytes) {
    if (isOpen() && openDevice) {
        openDevice->write(bytes.data(), static_cast<int>(bytes.size()));
    }
}

} // namespace serial
