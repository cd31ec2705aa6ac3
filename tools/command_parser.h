// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tools {

// Cuts the received byte stream into commands: the text between an ESC and the next CR.
// Bytes outside such a frame are line noise and dropped; an ESC inside a frame starts afresh.
class CommandParser {
public:
    static constexpr std::size_t kMaxLength = 32;

    // Returns the commands completed by `bytes`, without ESC and CR. A frame that grows past
    // kMaxLength is handed on as it stands, so that it gets rejected instead of piling up.
    std::vector<std::string> feed(std::string_view bytes);

private:
    bool inFrame_ = false;
    std::string frame_;
};

} // namespace tools
