// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/terminal_device.h"

#include <climits>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {

namespace {

// Unix98 pseudo-terminal slaves have majors 136 to 143.
constexpr unsigned kFirstPtySlaveMajor = 136;
constexpr unsigned kLastPtySlaveMajor = 143;

bool inTtyClass(dev_t device, const std::string& sysfs) {
    const std::string subsystem = sysfs + "/dev/char/" + std::to_string(major(device)) + ':' +
                                  std::to_string(minor(device)) + "/subsystem";
    char target[PATH_MAX];
    const ssize_t length = ::readlink(subsystem.c_str(), target, sizeof target - 1);
    if (length <= 0) {
        return false;
    }
    const std::string link(target, static_cast<std::size_t>(length));
    return link == "tty" || link.ends_with("/tty");
}

} // namespace

bool isPseudoTerminal(dev_t device) {
    const unsigned majorNumber = major(device);
    return majorNumber >= kFirstPtySlaveMajor && majorNumber <= kLastPtySlaveMajor;
}

bool isTerminalDevice(const std::string& path, const std::string& sysfs) {
    struct stat facts {};
    return ::stat(path.c_str(), &facts) == 0 && S_ISCHR(facts.st_mode) &&
           (isPseudoTerminal(facts.st_rdev) || inTtyClass(facts.st_rdev, sysfs));
}

} // namespace platform
