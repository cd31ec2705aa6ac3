// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_open_failure.h"

#include "platform/node_access.h"
#include "serial/permission_hint.h"

#include <cstring>

namespace serial {

std::string openFailureText(const PortOpenFailure& failure) {
    const std::string where =
        failure.deviceNode.empty() ? failure.port : failure.deviceNode + " (" + failure.port + ")";
    switch (failure.failure.cause) {
    case platform::OpenFailureCause::NotFound:
        return "Serial device " + failure.port + " not found (unplugged?)";
    case platform::OpenFailureCause::NoPermission:
        return noPermissionText(where, platform::readNodeAccess(failure.deviceNode));
    case platform::OpenFailureCause::InUse:
        return where + " is in use by " +
               (failure.failure.otherProgram.empty() ? std::string("another program")
                                                     : failure.failure.otherProgram);
    case platform::OpenFailureCause::NotSerial:
        return where + " is not a serial device";
    case platform::OpenFailureCause::LineSettingsRefused:
        return where + " does not take the line settings";
    case platform::OpenFailureCause::SystemError:
        break;
    }
    return "Cannot open " + where + ": " + std::strerror(failure.failure.systemError);
}

} // namespace serial
