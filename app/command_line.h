// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>

namespace app {

// What talvek says before Qt starts: --help and --version on standard output, or one line on
// standard error where there is no display for the window, since Qt would abort there. The exit
// status to end with, or nothing when the window may open.
std::optional<int> answerBeforeWindow(std::span<const std::string> arguments);

} // namespace app
