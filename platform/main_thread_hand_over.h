// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QObject;

namespace platform {

// Queues `part` to run on the main thread at a coming turn of its event loop (nested loops
// included) and returns at once; parts posted from one thread run in the order posted.
// Everything the poster wrote before the call is visible to `part`. False without a Qt
// application: `part` then never runs; nor does it when the application goes away first.
bool postToMainThread(std::function<void()> part);
// The same for a part that belongs to `context`, an object of the main thread: it is dropped
// unrun if `context` is gone first.
bool postToMainThread(QObject* context, std::function<void()> part);

} // namespace platform
