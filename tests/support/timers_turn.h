// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QObject;

namespace talvek::test {

// Serves events until every timer under `root` that runs now has fired once or stopped: whatever
// those timers would still do has been done. For checks that something does not happen. False
// when one is still due after 10 s.
bool waitForTimersTurn(QObject* root);

} // namespace talvek::test
