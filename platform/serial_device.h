// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/line_settings.h"

#include <atomic>
#include <memory>
#include <shared_mutex>
#include <string>
#include <termios.h>

namespace platform {

// The line state of a serial device (the device-control block): the terminal attributes.
struct SerialLineState {
    termios attributes{};
};

// Why a device did not open.
enum class OpenFailureCause {
    NotFound,            // no such device, or it went away (unplugged)
    NoPermission,        // the user may not open it (not in the group that owns it, "dialout")
    InUse,               // another program has it open
    NotSerial,           // it is not a terminal
    LineSettingsRefused, // it does not take the line settings
    SystemError,         // anything else; the error number says what
};

struct OpenFailure {
    OpenFailureCause cause = OpenFailureCause::NotFound;
    std::string otherProgram; // InUse: the other program's name, when it could be read
    int systemError = 0;      // SystemError: errno
};

// Time-outs in milliseconds, as a comm port takes them. A read of n bytes returns when they are
// in, when more than `readInterval` passes between two bytes, or after
// n * `readTotalMultiplier` + `readTotalConstant` in all; a write of n bytes gives up after
// n * `writeTotalMultiplier` + `writeTotalConstant`. Zero everywhere: reads return at once.
struct SerialTimeouts {
    int readInterval = 0;
    int readTotalMultiplier = 0;
    int readTotalConstant = 0;
    int writeTotalMultiplier = 0;
    int writeTotalConstant = 0;
};

// One serial device opened exclusively. Reads may run on one thread while another writes or
// closes: Close wakes a read in progress and waits only for it to leave the descriptor, so a
// read never touches a descriptor number that has been closed and handed out again.
class SerialDevice {
public:
    // Opens the device node (links resolved) for reading and writing, as no process's
    // controlling terminal, locked against every other opener, and sets the line: `line`, raw,
    // without flow control. A device another program has open does not open, whether that
    // program locked it or not. Nothing when it does not open; `failure` then says why.
    static std::shared_ptr<SerialDevice>
    open(const std::string& path, const LineSettings& line = {}, OpenFailure* failure = nullptr);
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Queue sizes are accepted for an open device; the terminal layer sizes its own queues.
    bool setupQueues(int inputBytes, int outputBytes);
    bool getLineState(SerialLineState& state);
    // Applies the state in raw mode (no echo, no line editing, no character translation) and
    // without flow control. False when the device does not keep the speed, character size,
    // parity or stop bits asked for.
    bool setLineState(const SerialLineState& state);
    bool setTimeouts(const SerialTimeouts& timeouts);

    // Bytes read into `buffer` (0 when the time-outs ran out first), or -1 on an error or a
    // closed device.
    int read(char* buffer, int count);
    // Like Read, but takes only the bytes already received and never waits for more.
    int readAvailable(char* buffer, int count);
    // Bytes written (possibly fewer when the write time-out ran out), or -1 on an error.
    int write(const char* data, int count);
    void close();

    // True once a read has found the device gone (hang-up, I/O error: an unplugged adapter).
    bool lost() const { return lost_.load(); }

private:
    SerialDevice(int fd, int wakeFd);
    bool isGoneError(int error) const;
    int readUntil(char* buffer, int count, bool wait);

    std::shared_mutex use_; // shared by reads and writes, held exclusively to close
    int fd_;
    int wakeFd_;
    std::atomic<int> readIntervalMs_{0};
    std::atomic<int> readMultiplierMs_{0};
    std::atomic<int> readConstantMs_{0};
    std::atomic<int> writeMultiplierMs_{0};
    std::atomic<int> writeConstantMs_{0};
    std::atomic<bool> lost_{false};
};

} // namespace platform
