// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/replacing_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kNameTries = 100;

// ".XXXXXX" of letters and digits, as mkstemp makes them.
std::string randomSuffix() {
    constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> letter(0, kLetters.size() - 1);
    std::string suffix = ".";
    for (int i = 0; i < 6; ++i) {
        suffix += kLetters[letter(random)];
    }
    return suffix;
}

} // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {}

ReplacingFile::~ReplacingFile() {
    removeTemporary();
}

std::string ReplacingFile::open() {
    const auto [folder, name] = splitPath(path_);
    name_ = name;
    if (name_.empty() || name_ == "." || name_ == "..") {
        fail("no file name");
        return error_;
    }
    folder_ = openFolderToWrite(folder, error_);
    if (!folder_.valid()) {
        return error_;
    }
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        const std::string temporary = name_ + randomSuffix();
        file_.reset(createFileIn(folder_.get(), temporary, O_WRONLY));
        if (file_.valid()) {
            temporary_ = temporary;
            return {};
        }
        if (errno != EEXIST) {
            break;
        }
    }
    fail(std::strerror(errno));
    return error_;
}

bool ReplacingFile::write(std::string_view bytes) {
    while (error_.empty() && !bytes.empty()) {
        const ssize_t written = ::write(file_.get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            fail(written < 0 ? std::strerror(errno) : "nothing could be written");
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return error_.empty();
}

std::string ReplacingFile::commit() {
    if (error_.empty() && !file_.valid()) {
        fail("the file was not made");
    }
    if (error_.empty() && ::fsync(file_.get()) != 0) {
        fail(std::strerror(errno));
    }
    if (error_.empty() && ::close(file_.release()) != 0) {
        fail(std::strerror(errno));
    }
    if (error_.empty() &&
        ::renameat(folder_.get(), temporary_.c_str(), folder_.get(), name_.c_str()) != 0) {
        fail(std::strerror(errno));
    }
    if (!error_.empty()) {
        removeTemporary();
        return error_;
    }
    temporary_.clear();
    syncFolder(folder_.get());
    return {};
}

void ReplacingFile::fail(const std::string& reason) {
    if (error_.empty()) {
        error_ = reason;
    }
}

void ReplacingFile::removeTemporary() {
    file_.reset();
    if (!temporary_.empty()) {
        ::unlinkat(folder_.get(), temporary_.c_str(), 0);
        temporary_.clear();
    }
}

} // namespace platform
