// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/private_files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr mode_t kOwnFolderMode = 0700;
constexpr mode_t kOwnFileMode = 0600;

std::string why() {
    return std::strerror(errno);
}

} // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        reset(other.release());
    }
    return *this;
}

void UniqueFd::reset(int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

std::pair<std::string, std::string> splitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {".", path};
    }
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

UniqueFd openFolderToWrite(const std::string& path, std::string& error) {
    UniqueFd folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat facts {};
    if (!folder.valid() || ::fstat(folder.get(), &facts) != 0) {
        error = "cannot write into " + path + ": " + why();
        return {};
    }
    if (facts.st_uid != ::geteuid() && facts.st_uid != 0) {
        error = "will not write into " + path + ": the folder belongs to another user (" +
                std::to_string(facts.st_uid) + ")";
        return {};
    }
    if ((facts.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (facts.st_mode & S_ISVTX) == 0) {
        error = "will not write into " + path +
                ": other users may rename or remove its files (it is writable by others, "
                "without the sticky bit)";
        return {};
    }
    return folder;
}

bool makeMissingFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), kOwnFolderMode);
    }
    return ::mkdir(path.c_str(), kOwnFolderMode) == 0 || errno == EEXIST;
}

UniqueFd openOwnFolder(const std::string& path, std::string& error) {
    if (!makeMissingFolders(path)) {
        error = "cannot create the folder " + path + ": " + why();
        return {};
    }
    UniqueFd folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat facts {};
    if (!folder.valid() || ::fstat(folder.get(), &facts) != 0) {
        error = "cannot create the folder " + path + ": " + why();
        return {};
    }
    if (facts.st_uid != ::geteuid()) {
        error = "will not use the folder " + path + ": it belongs to another user (" +
                std::to_string(facts.st_uid) + ")";
        return {};
    }
    if ((facts.st_mode & 07777) != kOwnFolderMode && ::fchmod(folder.get(), kOwnFolderMode) != 0) {
        error = "cannot make the folder " + path + " private: " + why();
        return {};
    }
    return folder;
}

int createFileIn(int folder, const std::string& name, int flags) {
    return ::openat(folder, name.c_str(), flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    kOwnFileMode);
}

void syncFolder(int folder) {
    if (folder >= 0) {
        ::fsync(folder);
    }
}

void syncFolderOf(const std::string& path) {
    const UniqueFd folder(
        ::open(splitPath(path).first.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    syncFolder(folder.get());
}

} // namespace platform
