#pragma once

#include <functional>

namespace platform {

// Runs `part` on the main thread (inside its event processing, nested waits included) and
// returns once it has run. Called from a worker thread. Without a Qt application, or when the
// application goes away before serving the call, `part` does not run and the call returns.
// Everything the worker wrote before the call is visible to `part`, and everything `part` wrote
// is visible to the worker afterwards.
void RunOnMainThread(std::function<void()> part);

} // namespace platform
