// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/permission_hint.h"

#include <algorithm>
#include <cstdio>

namespace serial {
namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// "root:dialout 0660", as ls -l and udev rules give them.
std::string ownership(const platform::NodeAccess& access) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", access.mode & 07777u);
    return access.owner + ":" + access.group + " " + mode;
}

std::string joinText(const std::string& where, const std::string& group) {
    return "No permission on " + where + ": join the " + group + " group (sudo adduser $USER " +
           group + ") and log in again";
}

} // namespace

std::string noPermissionText(const std::string& where,
                             const std::optional<platform::NodeAccess>& access) {
    if (!access) {
        return joinText(where, "dialout");
    }
    const platform::NodeAccess& node = *access;
    const bool ownerMay = node.user == node.owner && (node.mode & 0600u) == 0600u;
    const bool groupMay = (node.mode & 0060u) == 0060u;
    const bool othersMay = (node.mode & 0006u) == 0006u;
    if (ownerMay || othersMay || (groupMay && contains(node.processGroups, node.group))) {
        return "No permission on " + where + " (" + ownership(node) +
               "), though its owner, group and mode let this session open it: ask the "
               "administrator";
    }
    // Joining root's group would hand out far more than the port.
    if (groupMay && node.group != "root") {
        if (contains(node.databaseGroups, node.group)) {
            return "No permission on " + where + ": you are in the " + node.group +
                   " group but this session is not: log in again";
        }
        return joinText(where, node.group);
    }
    const std::string who =
        groupMay ? node.owner + " and the " + node.group + " group" : node.owner;
    const std::string ruleGroup = node.group == "root" ? "dialout" : node.group;
    return "No permission on " + where + ": only " + who + " may open it (" + ownership(node) +
           "); a udev rule can give it to the " + ruleGroup + " group (GROUP=\"" + ruleGroup +
           "\", MODE=\"0660\"), or ask the administrator";
}

} // namespace serial
