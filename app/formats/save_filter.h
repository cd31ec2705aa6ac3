// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace app {

// One format of a save dialog's filter: its caption and its file pattern.
struct SaveFilterChoice {
    std::string caption;
    std::string pattern;
    bool operator==(const SaveFilterChoice&) const = default;
};

// The choices of a "caption|pattern|caption|pattern" filter, in order; a caption without its
// pattern is dropped.
std::vector<SaveFilterChoice> parseSaveFilter(const std::string& filter);

// The file-name suffix a pattern such as "*.dat" stands for ("dat"); empty for a pattern with
// wildcards in its extension.
std::string suffixOfPattern(const std::string& pattern);

} // namespace app
