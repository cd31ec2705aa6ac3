#pragma once

#include <functional>

// Runs the thread's event loop until `done` holds, so that serial hand-overs, timers and user
// input are served while the caller waits. The loop sleeps between events instead of spinning.
void WaitWithEvents(const std::function<bool()>& done);
