// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/command_parser.h"

namespace tools {

namespace {
constexpr char kEsc = 27;
constexpr char kCr = 13;
} // namespace

std::vector<std::string> CommandParser::feed(std::string_view bytes) {
    std::vector<std::string> commands;
    for (const char c : bytes) {
        if (c == kEsc) {
            inFrame_ = true;
            frame_.clear();
        } else if (!inFrame_) {
            continue;
        } else if (c == kCr || frame_.size() >= kMaxLength) {
            commands.push_back(c == kCr ? frame_ : frame_ + c);
            inFrame_ = false;
            frame_.clear();
        } else {
            frame_ += c;
        }
    }
    return commands;
}

} // namespace tools
