// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/home_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

std::string passwordDatabaseHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    return found && found->pw_dir ? std::string(found->pw_dir) : std::string();
}

} // namespace

UserFolder homeFolder() {
    const char* home = std::getenv("HOME");
    const std::string path = home && *home ? std::string(home) : passwordDatabaseHome();
    if (path.empty()) {
        return {{},
                "there is no home folder: HOME is not set and the password database names "
                "none for this user"};
    }
    struct stat facts {};
    if (::stat(path.c_str(), &facts) != 0) {
        return {{}, "the home folder " + path + " is not there: " + std::strerror(errno)};
    }
    if (!S_ISDIR(facts.st_mode)) {
        return {{}, "the home folder " + path + " is no folder"};
    }
    return {path, {}};
}

UserFolder userDataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        return {std::string(data) + "/talvek", {}};
    }
    UserFolder home = homeFolder();
    if (!home.error.empty()) {
        return home;
    }
    return {home.path + "/.local/share/talvek", {}};
}

} // namespace platform
