// SPDX-License-Identifier: GPL-3.0-or-later
// The port catalog's readers of files of any content, each input read both as a COM number
// database and as a udev record: the numbers read are unique and survive their text form, and
// handing out numbers to the devices a udev record names keeps every kept number no link
// claims and gives each new device the lowest number nobody holds.

#include "platform/com_numbers.h"
#include "platform/udev_properties.h"
#include "tests/fuzz/fuzz_check.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

bool printable(const std::string& text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            return false;
        }
    }
    return !text.empty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    const platform::ComNumbers before = platform::parseComNumbers(text);
    std::set<int> kept;
    for (const auto& [identity, number] : before) {
        FUZZ_CHECK(number >= 1);
        FUZZ_CHECK(kept.insert(number).second);
        FUZZ_CHECK(printable(identity));
    }
    FUZZ_CHECK(platform::parseComNumbers(platform::formatComNumbers(before)) == before);

    const platform::UdevProperties udev = platform::parseUdevProperties(text);
    std::vector<std::string> identities;
    std::set<std::string> present;
    std::set<int> claimed;
    for (const auto& [key, value] : udev) {
        FUZZ_CHECK(!key.empty() && key.find('\n') == std::string::npos &&
                   key.find('=') == std::string::npos && value.find('\n') == std::string::npos);
        if (present.insert(value).second) {
            identities.push_back(value);
        }
        claimed.insert(static_cast<unsigned char>(key[0]) % 8 + 1);
    }
    // Devices the database knows come back too: every other one.
    bool comesBack = false;
    for (const auto& entry : before) {
        if ((comesBack = !comesBack) && present.insert(entry.first).second) {
            identities.push_back(entry.first);
        }
    }

    platform::ComNumbers after = before;
    const std::vector<int> given = platform::assignComNumbers(after, identities, claimed);
    FUZZ_CHECK(given.size() == identities.size());
    std::set<int> taken = claimed;
    taken.insert(kept.begin(), kept.end());
    std::set<int> distinct;
    for (std::size_t i = 0; i < given.size(); ++i) {
        FUZZ_CHECK(distinct.insert(given[i]).second);
        FUZZ_CHECK(!claimed.count(given[i]));
        FUZZ_CHECK(after.at(identities[i]) == given[i]);
        const auto known = before.find(identities[i]);
        if (known != before.end() && !claimed.count(known->second)) {
            FUZZ_CHECK(given[i] == known->second);
            continue;
        }
        for (int lower = 1; lower < given[i]; ++lower) {
            FUZZ_CHECK(taken.count(lower));
        }
        FUZZ_CHECK(!taken.count(given[i]));
        taken.insert(given[i]);
    }
    for (const auto& [identity, number] : before) {
        FUZZ_CHECK(present.count(identity) || after.at(identity) == number);
    }
    return 0;
}
