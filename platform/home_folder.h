// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace platform {

// A folder of the user's, or why there is none.
struct UserFolder {
    std::string path;
    std::string error; // for the user, one line; empty when `path` is there
};

// The user's home folder: $HOME, else the one the password database gives this user. Never a
// shared place such as /tmp: with neither, or when the folder does not exist, there is none.
UserFolder homeFolder();

// The program's per-user data folder, $XDG_DATA_HOME/talvek or <home>/.local/share/talvek: the
// journals, the COM numbers and the port links. It need not exist yet.
UserFolder userDataFolder();

} // namespace platform
