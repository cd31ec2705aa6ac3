#pragma once

#include "serial/receive_buffer.h"
#include "serial/serial_types.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {
class SerialDevice;
}

// Where the receive thread's hand-overs go; called on the main thread.
struct TPollReceiver {
    std::function<void(const std::string& telegram)> telegram;
    std::function<void()> silence; // empty: silences are not watched at all
    std::function<void()> deviceLost;
};

// What a port and its receive thread share. The port may go away while its thread still runs
// (closing never waits for the thread), so the thread reaches the port only through this, and
// only on the main thread.
struct TPollLink {
    std::atomic<bool> Terminated{false}; // the stop request
    // Main thread only: null once the port has closed or gone.
    std::shared_ptr<const TPollReceiver> receiver;
};

// The receive thread of an open port: polls the device, cuts telegrams at the delimiter and
// hands them, and silences, synchronously to the main thread. It frees itself when it ends.
class TPoll {
public:
    // Creates the thread with copies of the settings and starts it, one priority step below
    // normal; false when the system cannot create it. Whether silences are watched is taken from
    // the link's receiver now. Hand-overs need a Qt application; the main thread must keep
    // processing events. `backlogLimit`: buffered bytes of complete telegrams from which on the
    // thread stops reading the device.
    static bool Start(std::shared_ptr<TPollLink> link,
                      std::shared_ptr<platform::SerialDevice> device, std::int32_t timeOutMs,
                      TDelimiter delimiter, std::size_t backlogLimit = serial::kBacklogLimit);

    // Receive threads that exist (started and not yet ended).
    static int Running();

    TPoll(const TPoll&) = delete;
    TPoll& operator=(const TPoll&) = delete;

private:
    TPoll(std::shared_ptr<TPollLink> link, std::shared_ptr<platform::SerialDevice> device,
          bool watchSilence, std::int32_t timeOutMs, TDelimiter delimiter,
          std::size_t backlogLimit);
    ~TPoll();

    void Execute();
    // Appends one read of at most 80 bytes to the buffer.
    void ReadDevice(bool waitForBytes);
    void DataHandOver(std::string telegram);
    void TimeOutHandOver();
    void DeviceLostHandOver();

    std::shared_ptr<TPollLink> link_;
    std::shared_ptr<platform::SerialDevice> device_;
    bool watchSilence_;
    bool deviceLost_ = false; // reported already
    std::int64_t timeOut_;    // negative while the first expiry is still to be absorbed
    TDelimiter delimiter_;
    std::string delimiterText_;
    std::size_t backlogLimit_;
    std::string buffer_;
    bool lineOverflowed_ = false; // the line now in the buffer lost its beginning to the bound

    static std::atomic<int> running_;
};
