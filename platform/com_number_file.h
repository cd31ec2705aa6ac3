// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <set>
#include <string>
#include <vector>

namespace platform {

// The per-user database of COM numbers beside the port link folder `linkFolder`
// ($XDG_DATA_HOME/talvek/com-numbers beside $XDG_DATA_HOME/talvek/ports).
std::string comNumberFileBeside(const std::string& linkFolder);

// The numbers for the present devices `identities` (each listed once), kept in `file` (see
// assignComNumbers). New numbers are written back atomically, under a lock against other
// programs doing the same; a damaged file loses only its damaged lines. Where the file cannot be
// written the numbers still come out, but are not kept; so they are with an empty `file` (there is
// no data folder).
std::vector<int> keepComNumbers(const std::string& file, const std::vector<std::string>& identities,
                                const std::set<int>& claimed);

} // namespace platform
