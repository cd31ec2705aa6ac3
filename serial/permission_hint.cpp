// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/permission_hint.h"

namespace serial {

std::string noPermissionText(const std::string& where,
                             const std::optional<platform::NodeAccess>& access) {
    // The group that may open the device: "dialout" on Debian and Ubuntu, "uucp" elsewhere.
    const std::string group = access && access->group != "root" ? access->group : "dialout";
    return "No permission on " + where + ": join the " + group + " group (sudo adduser $USER " +
           group + ") and log in again";
}

} // namespace serial
