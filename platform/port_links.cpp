#include "platform/port_links.h"

#include <cstdlib>

namespace platform {

std::string UserPortLinkFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        return std::string(data) + "/talvek/ports";
    }
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.local/share/talvek/ports";
}

} // namespace platform
