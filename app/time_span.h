// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace app {

// A stretch of time in seconds since the connect attempt, ends included.
struct TimeSpan {
    double fromSeconds = 0;
    double toSeconds = 0;
};

} // namespace app
