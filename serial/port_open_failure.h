// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/serial_device.h"

#include <string>

namespace serial {

// Why a port did not open, with what the user needs to mend it.
struct PortOpenFailure {
    std::string port;       // "COM7"
    std::string deviceNode; // "/dev/ttyUSB0"; empty when the name leads to no device
    platform::OpenFailure failure;
};

// One line for the status bar or the terminal that says what happened and, where the user can
// do something about it, what: "No permission on /dev/ttyUSB0 (COM3): join the dialout group
// (sudo adduser $USER dialout) and log in again". UTF-8.
std::string openFailureText(const PortOpenFailure& failure);

} // namespace serial
