// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_open_failure.h"

#include <cstring>
#include <grp.h>
#include <sys/stat.h>

namespace serial {
namespace {

// The group that may open the device: "dialout" on Debian and Ubuntu, "uucp" elsewhere.
std::string owningGroup(const std::string& deviceNode) {
    struct stat facts {};
    if (::stat(deviceNode.c_str(), &facts) == 0 && facts.st_gid != 0) {
        if (const group* owner = ::getgrgid(facts.st_gid)) {
            return owner->gr_name;
        }
    }
    return "dialout";
}

} // namespace

std::string openFailureText(const PortOpenFailure& failure) {
    const std::string where =
        failure.deviceNode.empty() ? failure.port : failure.deviceNode + " (" + failure.port + ")";
    switch (failure.failure.cause) {
    case platform::OpenFailureCause::NotFound:
        return "Serial device " + failure.port + " not found (unplugged?)";
    case platform::OpenFailureCause::NoPermission: {
        const std::string group = owningGroup(failure.deviceNode);
        return "No permission on " + where + ": join the " + group + " group (sudo adduser $USER " +
               group + ") and log in again";
    }
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
