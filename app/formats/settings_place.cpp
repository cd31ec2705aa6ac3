// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/settings_place.h"

#include "app/formats/settings_file.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace app {
namespace {

std::string userConfigFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome == '/') {
        return std::string(configHome) + "/talvek";
    }
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/talvek";
}

} // namespace

SettingsPlace settingsPlace(const std::string& executableFolder) {
    const std::string besideExecutable = settingsFileName(executableFolder);
    if (!executableFolder.empty() && ::access(executableFolder.c_str(), W_OK) == 0) {
        return {besideExecutable, besideExecutable};
    }
    const std::string kept = settingsFileName(userConfigFolder());
    std::error_code error;
    const bool keptExists = std::filesystem::exists(kept, error);
    return {kept, keptExists || besideExecutable.empty() ? kept : besideExecutable};
}

} // namespace app
