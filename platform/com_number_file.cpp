// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com_number_file.h"

#include "platform/com_numbers.h"
#include "platform/private_files.h"
#include "platform/replacing_file.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

ComNumbers read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return parseComNumbers(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

// Written to a fresh file that replaces the old one in a single step, so that a reader never
// sees half a file and a crash never leaves one.
void writeAtomically(const std::string& file, const std::string& text) {
    ReplacingFile replacing(file);
    if (replacing.open().empty() && replacing.write(text)) {
        replacing.commit();
    }
}

// Holds an exclusive lock on a folder while it lives.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) {
            ::close(fd_); // lets go of the lock
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

} // namespace

std::string comNumberFileBeside(const std::string& linkFolder) {
    std::string folder = linkFolder;
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return (std::filesystem::path(folder).parent_path() / "com-numbers").string();
}

std::vector<int> keepComNumbers(const std::string& file, const std::vector<std::string>& identities,
                                const std::set<int>& claimed) {
    // Most looks find every device known: they read and write nothing more.
    ComNumbers numbers = file.empty() ? ComNumbers() : read(file);
    const ComNumbers before = numbers;
    std::vector<int> given = assignComNumbers(numbers, identities, claimed);
    if (numbers == before || file.empty()) {
        return given;
    }
    const std::string folder = std::filesystem::path(file).parent_path().string();
    std::string error;
    if (!openOwnFolder(folder, error).valid()) {
        return given;
    }
    const FolderLock lock(folder);
    // Another program may have handed out numbers since the first read.
    numbers = read(file);
    given = assignComNumbers(numbers, identities, claimed);
    writeAtomically(file, formatComNumbers(numbers));
    return given;
}

} // namespace platform
