// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/settings_place.h"

#include "app/formats/settings_file.h"
#include "platform/home_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace app {
namespace {

// Folders that belong to the system's packages ("/usr/local" lies under "/usr"). Root may write
// them, but a settings file there would be shared by every user and left behind by the package.
const char* const kSystemPrefixes[] = {"/usr", "/opt"};

bool underSystemPrefix(const std::filesystem::path& resolvedFolder) {
    return std::any_of(std::begin(kSystemPrefixes), std::end(kSystemPrefixes),
                       [&resolvedFolder](const char* prefix) {
                           const std::filesystem::path system(prefix);
                           return std::mismatch(system.begin(), system.end(),
                                                resolvedFolder.begin(), resolvedFolder.end())
                                      .first == system.end();
                       });
}

// A portable copy: a folder outside the system's that the user owns and may write.
bool keepsSettingsBeside(const std::string& executableFolder) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(executableFolder, error);
    if (error || underSystemPrefix(resolved)) {
        return false;
    }
    struct stat facts {};
    return ::stat(resolved.c_str(), &facts) == 0 && facts.st_uid == ::getuid() &&
           ::access(resolved.c_str(), W_OK) == 0;
}

std::string userConfigFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome == '/') {
        return std::string(configHome) + "/talvek";
    }
    const platform::UserFolder home = platform::homeFolder();
    return home.path.empty() ? std::string() : home.path + "/.config/talvek";
}

} // namespace

SettingsPlace settingsPlace(const std::string& executableFolder) {
    const std::string besideExecutable = settingsFileName(executableFolder);
    if (!executableFolder.empty() && keepsSettingsBeside(executableFolder)) {
        return {besideExecutable, besideExecutable};
    }
    const std::string kept = settingsFileName(userConfigFolder());
    std::error_code error;
    const bool keptExists = std::filesystem::exists(kept, error);
    return {kept, keptExists || besideExecutable.empty() ? kept : besideExecutable};
}

} // namespace app
