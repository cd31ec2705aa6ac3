// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace platform {

// The remote address of a bound RFCOMM tty ("rfcomm0") as the kernel reports it
// ("01:23:45:67:89:AB"), or empty when the kernel does not know the device.
std::string rfcommRemoteAddress(const std::string& kernelName);

} // namespace platform
