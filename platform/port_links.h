// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The per-user folder of port links: each entry "comN" is a symbolic link to a device node and
// gives that device the port name COMN (a virtual port, a pseudo-terminal, a renamed adapter).
// It is $XDG_DATA_HOME/talvek/ports, or ~/.local/share/talvek/ports without XDG_DATA_HOME; empty
// when there is no data folder (no home folder).
std::string userPortLinkFolder();

// One "comN" entry of a link folder.
struct PortLink {
    int number = 0;
    std::string path;
    // The device node it leads to, links resolved; nothing for a dead link, and nothing for a
    // link to a pseudo-terminal that is not ours or is younger than the link: pseudo-terminal
    // numbers are handed out again, so a link left behind by a program that ended would lead to
    // somebody else's terminal.
    std::optional<std::string> target;
};

// The entries named "comN" (any letter case, N from 1 without leading zeros) in name order;
// where two name the same number, the first.
std::vector<PortLink> readPortLinks(const std::string& folder);

} // namespace platform
