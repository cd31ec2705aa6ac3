// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/deviation.h"

#include <array>
#include <utility>

namespace analysis {

namespace {

constexpr std::array<std::pair<Deviation, std::string_view>, 4> kShortNames{{
    {Deviation::Allan, "adev"},
    {Deviation::ModifiedAllan, "mdev"},
    {Deviation::Hadamard, "hdev"},
    {Deviation::Time, "tdev"},
}};

} // namespace

std::string_view shortName(Deviation kind) {
    for (const auto& [k, name] : kShortNames) {
        if (k == kind) {
            return name;
        }
    }
    return {};
}

std::optional<Deviation> deviationFromShortName(std::string_view name) {
    for (const auto& [kind, n] : kShortNames) {
        if (n == name) {
            return kind;
        }
    }
    return std::nullopt;
}

} // namespace analysis
