// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/node_access.h"

#include <algorithm>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::string userName(uid_t uid) {
    const passwd* entry = ::getpwuid(uid);
    return entry ? entry->pw_name : std::to_string(uid);
}

std::string groupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry ? entry->gr_name : std::to_string(gid);
}

std::vector<std::string> groupNames(const std::vector<gid_t>& ids) {
    std::vector<std::string> names;
    for (const gid_t id : ids) {
        names.push_back(groupName(id));
    }
    return names;
}

std::vector<gid_t> processGroupIds() {
    std::vector<gid_t> ids(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    ids.resize(static_cast<std::size_t>(
        std::max(::getgroups(static_cast<int>(ids.size()), ids.data()), 0)));
    ids.push_back(::getegid());
    return ids;
}

std::vector<gid_t> databaseGroupIds(uid_t uid) {
    const passwd* entry = ::getpwuid(uid);
    if (!entry) {
        return {};
    }
    const std::string name = entry->pw_name;
    const gid_t primary = entry->pw_gid;
    int count = 32;
    std::vector<gid_t> ids(static_cast<std::size_t>(count));
    if (::getgrouplist(name.c_str(), primary, ids.data(), &count) < 0) {
        ids.resize(static_cast<std::size_t>(count));
        ::getgrouplist(name.c_str(), primary, ids.data(), &count);
    }
    ids.resize(static_cast<std::size_t>(count));
    return ids;
}

} // namespace

std::optional<NodeAccess> readNodeAccess(const std::string& deviceNode) {
    struct stat facts {};
    if (deviceNode.empty() || ::stat(deviceNode.c_str(), &facts) != 0) {
        return std::nullopt;
    }
    return NodeAccess{userName(facts.st_uid),
                      groupName(facts.st_gid),
                      static_cast<unsigned>(facts.st_mode & 07777),
                      userName(::geteuid()),
                      groupNames(processGroupIds()),
                      groupNames(databaseGroupIds(::getuid()))};
}

} // namespace platform
