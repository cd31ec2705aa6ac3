// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace cli {

// SIGINT and SIGTERM as a call on the main thread: the handler only writes a byte to a pipe,
// which the event loop watches. While it lives, a closed standard output (SIGPIPE) does not end
// the program either, nor a file that reaches the size limit (SIGXFSZ): the write fails with
// EFBIG instead, and is told as any write error.
class StopSignals {
public:
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    std::function<void()> onStop_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace cli
