// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/node_access.h"

#include <optional>
#include <string>

namespace serial {

// "No permission on /dev/ttyUSB0 (COM3): ..." with the cause that holds for these facts of the
// node and the user, and what mends it: joining the node's group, logging in again after joining,
// a udev rule or the administrator where no group to join may open it. Without facts, the usual
// remedy on Debian: joining the dialout group.
std::string noPermissionText(const std::string& where,
                             const std::optional<platform::NodeAccess>& access);

} // namespace serial
