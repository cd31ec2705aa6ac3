// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/port_link.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tools {

namespace {

enum class Entry { Missing, Stale, Taken };

Entry inspect(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return Entry::Missing;
    }
    if (!S_ISLNK(info.st_mode)) {
        return Entry::Taken;
    }
    return ::stat(path.c_str(), &info) != 0 && errno == ENOENT ? Entry::Stale : Entry::Taken;
}

std::string linkTarget(const std::string& path) {
    char target[4096];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

} // namespace

PortLink::PortLink(const std::string& folder, const std::string& devicePath, int number)
    : devicePath_(devicePath) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        throw std::runtime_error("cannot create the port folder " + folder + ": " +
                                 error.message());
    }
    const int first = number > 0 ? number : kFirstAutomaticNumber;
    const int last = number > 0 ? number : kLastNumber;
    for (int n = first; n <= last; ++n) {
        const std::string path = folder + "/com" + std::to_string(n);
        if (claim(path)) {
            number_ = n;
            linkPath_ = path;
            return;
        }
    }
    throw std::runtime_error(number > 0
                                 ? "COM" + std::to_string(number) + " is taken: " + folder +
                                       "/com" + std::to_string(number) + " points at a live device"
                                 : "no free COM number in " + folder);
}

bool PortLink::claim(const std::string& path) {
    switch (inspect(path)) {
    case Entry::Taken:
        return false;
    case Entry::Stale:
        ::unlink(path.c_str());
        break;
    case Entry::Missing:
        break;
    }
    // symlink() fails when another program took the name in the meantime: then it is not ours.
    if (::symlink(devicePath_.c_str(), path.c_str()) == 0) {
        return true;
    }
    if (errno != EEXIST) {
        throw std::runtime_error("cannot create " + path + ": " + std::strerror(errno));
    }
    return false;
}

PortLink::~PortLink() {
    remove();
}

void PortLink::remove() {
    if (!linkPath_.empty() && linkTarget(linkPath_) == devicePath_) {
        ::unlink(linkPath_.c_str());
    }
    linkPath_.clear();
}

} // namespace tools
