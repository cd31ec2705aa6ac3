#pragma once

#include <string>

namespace platform {

// The per-user folder of port links: each entry "comN" is a symbolic link to a device node and
// gives that device the port name COMN (a virtual port, a pseudo-terminal, a renamed adapter).
// It is $XDG_DATA_HOME/talvek/ports, or ~/.local/share/talvek/ports without XDG_DATA_HOME.
std::string UserPortLinkFolder();

} // namespace platform
