// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>

// The files the program makes are the user's measurements and settings: made 0600 in folders
// that are the user's (0700 where the program makes them), never over a file that is there and
// never through a link somebody placed, so another user can neither read them nor turn a write
// of ours against a file of the user's choosing.

namespace platform {

// A file descriptor, closed with its owner.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// The folder and the name of a path: "a/b.dat" is "a" and "b.dat", "b.dat" is "." and "b.dat".
std::pair<std::string, std::string> splitPath(const std::string& path);

// Opens the folder at `path` to make files in. Invalid, with `error` saying why, when it does
// not open or is not safe to write into: it must be this user's or root's, and where others may
// write it, the sticky bit must keep them from renaming or removing our files (as in /tmp).
UniqueFd openFolderToWrite(const std::string& path, std::string& error);

// Makes the folder at `path` and those missing above it, each 0700; folders that are there stay
// as they are. False, with errno set, when `path` is not there afterwards.
bool makeMissingFolders(const std::string& path);

// The program's own folder at `path`, made where it is missing, with the folders missing above
// it, each 0700. One that is there must be this user's; it is made 0700.
UniqueFd openOwnFolder(const std::string& path, std::string& error);

// Makes the file `name` in the open folder, 0600, where no file and no link of that name is;
// `flags` O_RDWR or O_WRONLY. -1, with errno set, when it cannot.
int createFileIn(int folder, const std::string& name, int flags);

// Makes a rename or removal in the folder last through a power cut. Not every file system can
// sync a folder; what it cannot, is left as it is.
void syncFolder(int folder);
void syncFolderOf(const std::string& path);

} // namespace platform
