// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/display_dump.h"

#include <array>
#include <utility>

namespace counter {

namespace {
constexpr std::size_t kDumpLength = 32;

constexpr std::array<std::pair<const char*, double>, 7> kUnitFactors{{
    {"GHz", 1e9},
    {"MHz", 1e6},
    {"kHz", 1e3},
    {" ms", 1e-3},
    {" us", 1e-6},
    {" ns", 1e-9},
    {" ps", 1e-12},
}};
} // namespace

bool isDisplayDump(const std::string& telegram) {
    return telegram.size() == kDumpLength && telegram.compare(0, 2, "av") == 0;
}

std::string dumpUnitField(const std::string& telegram) {
    return telegram.substr(17, 3);
}

std::string dumpNumberField(const std::string& telegram) {
    return telegram.substr(21, 11);
}

double unitFieldFactor(const std::string& unitField) {
    for (const auto& [unit, factor] : kUnitFactors) {
        if (unitField == unit) {
            return factor;
        }
    }
    return 1.0;
}

bool unitFieldIsPeriod(const std::string& unitField) {
    return unitField.size() < 3 || unitField[2] != 'z';
}

} // namespace counter
