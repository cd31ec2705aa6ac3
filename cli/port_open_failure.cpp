// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/port_open_failure.h"

#include "platform/serial_device.h"

#include <cstring>

namespace cli {

std::string portOpenFailureText(const platform::PortInfo& port) {
    platform::OpenFailure failure;
    const auto device = platform::SerialDevice::Open(port.deviceNode, {}, &failure);
    if (device) {
        device->Close();
        return {};
    }
    const std::string name = port.comName + " (" + port.deviceNode + ")";
    switch (failure.cause) {
    case platform::OpenFailureCause::NotFound:
        return name + " is gone (unplugged?)";
    case platform::OpenFailureCause::NoPermission:
        return "no permission to open " + name +
               "; join the group that owns it ('sudo adduser $USER dialout') and log in again";
    case platform::OpenFailureCause::InUse:
        return name + " is in use by " +
               (failure.otherProgram.empty() ? std::string("another program")
                                             : failure.otherProgram);
    case platform::OpenFailureCause::NotSerial:
        return name + " is not a serial device";
    case platform::OpenFailureCause::LineSettingsRefused:
        return name + " does not take the line settings 9600 8N1";
    case platform::OpenFailureCause::SystemError:
        break;
    }
    return name + " does not open: " + std::strerror(failure.systemError);
}

} // namespace cli
