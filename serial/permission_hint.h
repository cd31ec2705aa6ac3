// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/node_access.h"

#include <optional>
#include <string>

namespace serial {

// "No permission on /dev/ttyUSB0 (COM3): ..." with what mends it, told by the facts of the node
// and the user; without facts, the usual remedy on Debian: joining the dialout group.
std::string noPermissionText(const std::string& where,
                             const std::optional<platform::NodeAccess>& access);

} // namespace serial
