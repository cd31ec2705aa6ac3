// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace app {

// The status bar's text when the journal stops for `reason` (a writer's message or a sentence).
std::string journalStoppedNotice(const std::string& reason);

} // namespace app
