// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace app {

// Where "Zorvimet.ini" is kept: next to the executable when that folder, resolved, lies outside
// /usr and /opt and the user owns and may write it (a portable copy carries its settings along),
// else in the user's configuration folder, as for an installed program: $XDG_CONFIG_HOME/talvek,
// or ~/.config/talvek without XDG_CONFIG_HOME.
struct SettingsPlace {
    std::string writeFile;
    // The kept file; before one was ever written there, the file next to the executable, which
    // an installation may ship as the first settings.
    std::string readFile;
};

SettingsPlace settingsPlace(const std::string& executableFolder);

} // namespace app
