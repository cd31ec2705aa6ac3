// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace platform {

using UdevProperties = std::map<std::string, std::string>;

// The properties ("E:ID_VENDOR_ID=0403" lines) of a udev database record; other lines are not
// properties and are skipped.
UdevProperties parseUdevProperties(std::string_view record);

// The properties udev keeps for the character device `numbers` ("188:0") in the database folder
// `udevData` (/run/udev/data). Empty without udev.
UdevProperties readUdevProperties(const std::string& udevData, const std::string& numbers);

} // namespace platform
