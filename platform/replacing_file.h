// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/private_files.h"

#include <string>
#include <string_view>

namespace platform {

// A file written whole or not at all: the bytes go to a new file beside `path` (0600, made where
// no file and no link is, in a folder safe to write into), which is synced and renamed over
// `path`; then the folder is synced. A reader never sees half a file, a failure or a power cut
// never leaves one, and a link at `path` is replaced, never followed. Errors are the system's
// own causes ("No space left on device").
class ReplacingFile {
public:
    explicit ReplacingFile(std::string path);
    ~ReplacingFile(); // an uncommitted file is removed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Makes the new file; empty when it is made, else why not.
    std::string open();
    // False from the first failure on; error() says why.
    bool write(std::string_view bytes);
    // Puts the file in place; empty when it is, else why not (the old file stays).
    std::string commit();
    const std::string& error() const { return error_; }

private:
    void fail(const std::string& reason);
    void removeTemporary();

    std::string path_;
    std::string name_;
    std::string temporary_; // its name in the folder, while it is there
    UniqueFd folder_;
    UniqueFd file_;
    std::string error_;
};

} // namespace platform
