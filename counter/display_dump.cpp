#include "counter/display_dump.h"

#include <array>
#include <utility>

namespace {
constexpr std::size_t DumpLength = 32;

constexpr std::array<std::pair<const char*, double>, 7> UnitFactors{{
    {"GHz", 1e9},
    {"MHz", 1e6},
    {"kHz", 1e3},
    {" ms", 1e-3},
    {" us", 1e-6},
    {" ns", 1e-9},
    {" ps", 1e-12},
}};
} // namespace

bool IsDisplayDump(const std::string& telegram) {
    return telegram.size() == DumpLength && telegram.compare(0, 2, "av") == 0;
}

std::string DumpUnitField(const std::string& telegram) {
    return telegram.substr(17, 3);
}

std::string DumpNumberField(const std::string& telegram) {
    return telegram.substr(21, 11);
}

double UnitFieldFactor(const std::string& unitField) {
    for (const auto& [unit, factor] : UnitFactors) {
        if (unitField == unit) {
            return factor;
        }
    }
    return 1.0;
}

bool UnitFieldIsPeriod(const std::string& unitField) {
    return unitField.size() < 3 || unitField[2] != 'z';
}
