#include "serial/my_com_port.h"
#include "platform/ascii_case.h"

#include "platform/port_catalog.h"
#include "platform/serial_device.h"
#include "serial/poll.h"

#include <QMetaMethod>
#include <algorithm>
#include <cctype>
#include <cerrno>

namespace {

// The device of the one open port object; the receive thread holds its own reference.
std::shared_ptr<platform::SerialDevice> openDevice;

constexpr std::size_t kMaxDevicePath = 79;
constexpr std::size_t kMaxPortName = 32;
constexpr int kQueueBytes = 256;

platform::Parity LineParity(TParity parity) {
    switch (parity) {
    case TParity::even:
        return platform::Parity::Even;
    case TParity::odd:
        return platform::Parity::Odd;
    case TParity::mark:
        return platform::Parity::Mark;
    case TParity::space:
        return platform::Parity::Space;
    case TParity::none:
        break;
    }
    return platform::Parity::None;
}

const char* ParityPiece(TParity parity) {
    switch (parity) {
    case TParity::even:
        return "e";
    case TParity::odd:
        return "o";
    case TParity::mark:
        return "m";
    case TParity::space:
        return "s";
    case TParity::none:
        break;
    }
    return "n";
}

} // namespace

TMyComPort::TMyComPort(QObject* AOwner) : QObject(AOwner) {}

TMyComPort::~TMyComPort() {
    Close();
}

std::string TMyComPort::DeviceControlText() const {
    return "baud=" + std::to_string(BaudRate) + " parity=" + ParityPiece(Parity) +
           " data=" + std::to_string(DataBits) + " stop=" + std::to_string(StopBits);
}

bool TMyComPort::Open(serial::PortOpenFailure* failure) {
    serial::PortOpenFailure ignored;
    serial::PortOpenFailure& why = failure ? *failure : ignored;
    why = {ComPort, {}, {}};
    const auto fail = [&why](platform::OpenFailureCause cause, int error = 0) {
        why.failure.cause = cause;
        why.failure.systemError = error;
        return false;
    };
    if (IsOpen) {
        return fail(platform::OpenFailureCause::SystemError, EBUSY);
    }
    if (AsciiLower(ComPort).rfind("com", 0) != 0) {
        return fail(platform::OpenFailureCause::NotFound);
    }
    const std::string devicePath = "\\\\.\\" + ComPort;
    if (devicePath.size() > kMaxDevicePath) {
        return fail(platform::OpenFailureCause::NotFound);
    }
    if (openDevice) {
        return fail(platform::OpenFailureCause::SystemError, EBUSY);
    }
    // The name reaches a device only through the catalog, never as part of a path.
    const auto port = platform::systemPortCatalog()->find(ComPort);
    if (!port) {
        return fail(platform::OpenFailureCause::NotFound);
    }
    why.deviceNode = port->deviceNode;
    auto device = platform::SerialDevice::Open(port->deviceNode,
                                               {.baud = BaudRate,
                                                .dataBits = DataBits,
                                                .parity = LineParity(Parity),
                                                .stopBits = StopBits},
                                               &why.failure);
    if (!device) {
        return false;
    }

    // Every step runs even when an earlier one failed; all must succeed.
    bool configured = device->SetupQueues(kQueueBytes, kQueueBytes);
    configured = device->SetTimeouts({.ReadInterval = 1,
                                      .ReadTotalMultiplier = 1,
                                      .ReadTotalConstant = 1,
                                      .WriteTotalMultiplier = 1,
                                      .WriteTotalConstant = 20}) &&
                 configured;
    if (!configured) {
        device->Close();
        return fail(platform::OpenFailureCause::LineSettingsRefused);
    }

    auto receiver = std::make_shared<TPollReceiver>();
    receiver->telegram = [this](const std::string& telegram) { emit telegramReceived(telegram); };
    if (isSignalConnected(QMetaMethod::fromSignal(&TMyComPort::silence))) {
        receiver->silence = [this] { emit silence(); };
    }
    receiver->deviceLost = [this] { emit deviceLost(); };
    receiver->dropped = [this](std::uint64_t count) { emit telegramsDropped(count); };
    auto link = std::make_shared<TPollLink>(HandOverQueueBytes);
    link->receiver = std::move(receiver);
    if (!TPoll::Start(link, device, ReadTimeOut, Delimiter)) {
        device->Close();
        return fail(platform::OpenFailureCause::SystemError, EAGAIN);
    }
    openDevice = std::move(device);
    link_ = std::move(link);
    IsOpen = true;
    return true;
}

void TMyComPort::Close() {
    if (IsOpen) {
        // The thread is not waited for; what it queued or still queues reaches nobody.
        link_->Terminated = true;
        link_->receiver.reset();
        link_->queue.clear();
        openDevice->Close();
        openDevice.reset();
    }
    IsOpen = false;
}

void TMyComPort::Write(const std::string& Text) {
    if (IsOpen && openDevice) {
        openDevice->Write(Text.data(), static_cast<int>(Text.size()));
    }
}

void TMyComPort::ListPorts() {
    PortList.clear();
    for (const std::string& portName : platform::systemPortCatalog()->comNames()) {
        PortList.push_back(AsciiUpper(portName).substr(0, kMaxPortName));
    }
}
