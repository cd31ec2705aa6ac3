// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace bench {

// Turns the event loop, sleeping between events, until `done()` holds or `timeoutMs` has passed
// (never, where negative); tells whether it holds. A bench's waiting costs the process next to
// nothing, so what it measures meanwhile is the window's own work.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = -1);

} // namespace bench
