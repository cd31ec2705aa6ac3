// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/hand_over_queue.h"
#include "serial/serial_types.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform {
class SerialDevice;
}

namespace serial {

// The main thread takes hand-overs at most this often, five times a second as a counter's own
// display. At line rate a turn then carries several telegrams and the window paints once for
// them, not once each; slower lines wait not at all. The stamps were taken on arrival, so the
// wait moves none.
constexpr auto kBatchSpacing = std::chrono::milliseconds(200);

// Where the receive thread's hand-overs go; called on the main thread, one call per hand-over.
struct HandOverReceiver {
    std::function<void(const std::string& telegram, std::int64_t arrivalMs)> telegram;
    std::function<void()> silence; // empty: silences are not watched at all
    std::function<void()> deviceLost;
    std::function<void(std::uint64_t count)> dropped;
};

// What a port and its receive thread share. The port may go away while its thread still runs
// (closing never waits for the thread), so the thread reaches the port only through this, and
// only on the main thread.
struct ReceiveLink {
    ReceiveLink(std::size_t queueBytes, std::function<std::int64_t()> arrivalClock)
        : queue(queueBytes), arrivalClock_(std::move(arrivalClock)) {}

    // Receive thread: the arrival clock's time; nothing once the port asked the thread to stop.
    // The clock is the port owner's, and may go with it.
    std::optional<std::int64_t> arrivalMs();
    // Main thread: the stop request. Once it returns, the thread reads the clock no more.
    void terminate();

    std::atomic<bool> terminated{false};
    serial::HandOverQueue queue;
    // Main thread only: null once the port has closed or gone.
    std::shared_ptr<const HandOverReceiver> receiver;
    // Main thread only: a wake-up before this waits until then.
    std::chrono::steady_clock::time_point nextBatch;

private:
    std::mutex clockMutex_;
    std::function<std::int64_t()> arrivalClock_;
};

// The receive thread of an open port: waits for the device's bytes (for whole lines where the
// delimiter ends in a line end), stamps them with the time they were read, cuts telegrams at the
// delimiter and queues them, and silences, for the main thread, which takes them in batches at
// the turns of its event loop, at most every kBatchSpacing. It never waits for the main thread and
// frees itself when it ends, at the stop request or once the device is gone.
class ReceiveThread {
public:
    // Creates the thread with copies of the settings and starts it, one priority step below
    // normal; false when the system cannot create it. Whether silences are watched is taken from
    // the link's receiver now, the telegrams' stamps from its arrival clock. Hand-overs need a
    // Qt application whose main thread keeps processing events.
    static bool start(std::shared_ptr<ReceiveLink> link,
                      std::shared_ptr<platform::SerialDevice> device, std::int32_t timeOutMs,
                      Delimiter delimiter);

    // Receive threads that exist (started and not yet ended).
    static int running();

    ReceiveThread(const ReceiveThread&) = delete;
    ReceiveThread& operator=(const ReceiveThread&) = delete;

private:
    ReceiveThread(std::shared_ptr<ReceiveLink> link, std::shared_ptr<platform::SerialDevice> device,
                  bool watchSilence, std::int32_t timeOutMs, Delimiter delimiter,
                  std::optional<char> lineEnd);
    ~ReceiveThread();

    void execute();
    // How long the next read may wait: until the silence is due, or for as long as it takes.
    int readWaitMs(std::int64_t lastHandOver) const;
    // Queues every complete telegram of the buffer, stamped `arrivalMs`; true when there was any
    // (one the full queue dropped counts too: the line was not silent).
    bool handOverTelegrams(std::int64_t arrivalMs);
    void watchForSilence(std::int64_t& lastHandOver);
    void wakeMainThread();

    std::shared_ptr<ReceiveLink> link_;
    std::shared_ptr<platform::SerialDevice> device_;
    bool watchSilence_;
    std::int64_t timeOut_; // negative while the first expiry is still to be absorbed
    Delimiter delimiter_;
    std::string delimiterText_;
    std::string buffer_;
    // Where the device wakes the thread once a line, not once a byte, the byte its lines end with:
    // a telegram then costs one read instead of one for each of its bytes.
    std::optional<char> lineEnd_;
    bool lineOverflowed_ = false; // the line now in the buffer lost bytes to a bound

    static std::atomic<int> running_;
};

} // namespace serial
