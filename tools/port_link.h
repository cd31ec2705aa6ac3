// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tools {

// The link "comN" -> device in the user port folder that makes a device the port COMN.
// Removed again on destruction, but only while it still points at our device.
class PortLink {
public:
    static constexpr int kFirstAutomaticNumber = 20;
    static constexpr int kLastNumber = 255;

    // Registers `devicePath` as COM`number`, or under the lowest free number from 20 upwards
    // when `number` is 0. A link whose target is gone is stale and taken over; a live one, or
    // anything that is not a link, is never replaced. Throws std::runtime_error.
    PortLink(const std::string& folder, const std::string& devicePath, int number);
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    int number() const { return number_; }
    std::string comName() const { return "COM" + std::to_string(number_); }
    const std::string& linkPath() const { return linkPath_; }

    void remove();

private:
    bool claim(const std::string& path);

    std::string devicePath_;
    std::string linkPath_;
    int number_ = 0;
};

} // namespace tools
