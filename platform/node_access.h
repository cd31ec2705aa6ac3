// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// Who may open a device node, and who is asking: what tells why an open was refused.
struct NodeAccess {
    std::string owner; // the node's user and group by name, or by number where none is known
    std::string group;
    unsigned mode = 0; // permission bits: 0660
    std::string user;  // the user this process runs as
    // The groups an open is checked against: this process's, fixed at login.
    std::vector<std::string> processGroups;
    // The user's groups in the group database: what the next login gets.
    std::vector<std::string> databaseGroups;
};

// The facts of `deviceNode` and this process; nothing when the node cannot be looked at.
std::optional<NodeAccess> readNodeAccess(const std::string& deviceNode);

} // namespace platform
