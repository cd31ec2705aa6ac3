// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/other_openers.h"

#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {

namespace {

// Unix98 pseudo-terminal slaves have majors 136 to 143, 256 terminals each.
constexpr unsigned kFirstPtySlaveMajor = 136;
constexpr unsigned kLastPtySlaveMajor = 143;

int pseudoTerminalIndex(dev_t device) {
    const unsigned majorNumber = major(device);
    if (majorNumber < kFirstPtySlaveMajor || majorNumber > kLastPtySlaveMajor) {
        return -1;
    }
    return static_cast<int>((majorNumber - kFirstPtySlaveMajor) * 256 + minor(device));
}

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] >= '0' && entry->d_name[0] <= '9') {
                names.emplace_back(entry->d_name);
            }
        }
        ::closedir(dir);
    }
    return names;
}

// True when descriptor `fd` of `process` is a pseudo-terminal master for terminal `index`.
bool isMasterOf(const std::string& process, const std::string& fd, int index) {
    char target[64];
    const ssize_t length = ::readlink((process + "/fd/" + fd).c_str(), target, sizeof target - 1);
    if (length < 4 ||
        std::string(target, static_cast<std::size_t>(length)).find("ptmx") == std::string::npos) {
        return false;
    }
    std::ifstream info(process + "/fdinfo/" + fd);
    std::string key;
    while (info >> key) {
        if (key == "tty-index:") {
            int seen = -1;
            return static_cast<bool>(info >> seen) && seen == index;
        }
    }
    return false;
}

std::string commandName(const std::string& process) {
    std::ifstream in(process + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

} // namespace

std::vector<std::string> otherOpeners(int fd) {
    struct stat own {};
    if (::fstat(fd, &own) != 0 || !S_ISCHR(own.st_mode)) {
        return {};
    }
    const int ptyIndex = pseudoTerminalIndex(own.st_rdev);
    const std::string self = std::to_string(::getpid());
    std::vector<std::string> programs;
    for (const std::string& pid : entries("/proc")) {
        if (pid == self) {
            continue;
        }
        const std::string process = "/proc/" + pid;
        bool holds = false;
        bool otherEnd = false;
        for (const std::string& descriptor : entries(process + "/fd")) {
            struct stat seen {};
            if (::stat((process + "/fd/" + descriptor).c_str(), &seen) != 0) {
                continue;
            }
            if (S_ISCHR(seen.st_mode) && seen.st_rdev == own.st_rdev) {
                holds = true;
            } else if (ptyIndex >= 0 && isMasterOf(process, descriptor, ptyIndex)) {
                otherEnd = true;
            }
        }
        if (holds && !otherEnd) {
            programs.push_back(commandName(process));
        }
    }
    return programs;
}

} // namespace platform
