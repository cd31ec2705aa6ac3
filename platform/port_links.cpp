// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/port_links.h"

#include "platform/ascii_case.h"
#include "platform/home_folder.h"
#include "platform/terminal_device.h"

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::optional<int> linkNumber(const std::string& name) {
    const std::string lower = asciiLower(name);
    if (lower.size() < 4 || lower.size() > 9 || lower.compare(0, 3, "com") != 0 ||
        lower[3] == '0' ||
        !std::all_of(lower.begin() + 3, lower.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoi(lower.substr(3));
}

bool newer(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// A link to somebody else's pseudo-terminal, or to one younger than the link, is stale.
bool trusted(const std::string& linkPath, const std::string& target) {
    struct stat link {};
    struct stat node {};
    if (::lstat(linkPath.c_str(), &link) != 0 || ::stat(target.c_str(), &node) != 0) {
        return false;
    }
    const bool pseudoTerminal = S_ISCHR(node.st_mode) && isPseudoTerminal(node.st_rdev);
    return !pseudoTerminal || (node.st_uid == ::getuid() && !newer(node.st_ctim, link.st_mtim));
}

} // namespace

std::string userPortLinkFolder() {
    const UserFolder data = userDataFolder();
    return data.path.empty() ? std::string() : data.path + "/ports";
}

std::vector<PortLink> readPortLinks(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            names.emplace_back(entry->d_name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    std::vector<PortLink> links;
    std::set<int> numbers;
    for (const std::string& name : names) {
        const auto number = linkNumber(name);
        if (!number || !numbers.insert(*number).second) {
            continue;
        }
        PortLink link{*number, folder + "/" + name, std::nullopt};
        char resolved[PATH_MAX];
        if (::realpath(link.path.c_str(), resolved) && trusted(link.path, resolved)) {
            link.target = resolved;
        }
        links.push_back(std::move(link));
    }
    return links;
}

} // namespace platform
