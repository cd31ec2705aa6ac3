// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace platform {

// The other programs that have the terminal behind `fd` open, by the command names in
// /proc/<pid>/comm ("minicom"; empty where it cannot be read). Only processes whose descriptors we
// may read are seen. This process is not counted, nor a program that also holds the master side
// of the same pseudo-terminal: that is the line's other end, not a second user of it.
std::vector<std::string> otherOpeners(int fd);

} // namespace platform
