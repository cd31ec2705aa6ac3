// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/udev_properties.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace platform {

UdevProperties parseUdevProperties(std::string_view record) {
    UdevProperties properties;
    while (!record.empty()) {
        const std::size_t end = std::min(record.find('\n'), record.size());
        const std::string_view line = record.substr(0, end);
        record.remove_prefix(std::min(end + 1, record.size()));
        const std::size_t equals = line.find('=');
        if (line.size() < 3 || line.compare(0, 2, "E:") != 0 || equals == std::string_view::npos ||
            equals == 2) {
            continue;
        }
        properties.insert_or_assign(std::string(line.substr(2, equals - 2)),
                                    std::string(line.substr(equals + 1)));
    }
    return properties;
}

UdevProperties readUdevProperties(const std::string& udevData, const std::string& numbers) {
    if (numbers.empty()) {
        return {};
    }
    std::ifstream in(udevData + "/c" + numbers, std::ios::binary);
    return parseUdevProperties(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

} // namespace platform
