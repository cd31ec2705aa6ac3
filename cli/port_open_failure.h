// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/port_info.h"

#include <string>

namespace cli {

// Why the port did not open for the driver, found by opening its device once more: "COM3
// (/dev/ttyUSB0) is in use by minicom". Empty when it opens now (the driver then found no
// counter on it).
std::string portOpenFailureText(const platform::PortInfo& port);

} // namespace cli
