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
    termios Attributes{};
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
// in, when more than `ReadInterval` passes between two bytes, or after
// n * `ReadTotalMultiplier` + `ReadTotalConstant` in all; a write of n bytes gives up after
// n * `WriteTotalMultiplier` + `WriteTotalConstant`. Zero everywhere: reads return at once.
struct SerialTimeouts {
    int ReadInterval = 0;
    int ReadTotalMultiplier = 0;
    int ReadTotalConstant = 0;
    int WriteTotalMultiplier = 0;
    int WriteTotalConstant = 0;
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
    Open(const std::string& path, const LineSettings& line = {}, OpenFailure* failure = nullptr);
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Queue sizes are accepted for an open device; the terminal layer sizes its own queues.
    bool SetupQueues(int inputBytes, int outputBytes);
    bool GetLineState(SerialLineState& state);
    // Applies the state in raw mode (no echo, no line editing, no character translation) and
    // without flow control. False when the device does not keep the speed, character size,
    // parity or stop bits asked for.
    bool SetLineState(const SerialLineState& state);
    bool SetTimeouts(const SerialTimeouts& timeouts);

    // Bytes read into `buffer` (0 when the time-outs ran out first), or -1 on an error or a
    // closed device.
    int Read(char* buffer, int count);
    // Like Read, but takes only the bytes already received and never waits for more.
    int ReadAvailable(char* buffer, int count);
    // Bytes written (possibly fewer when the write time-out ran out), or -1 on an error.
    int Write(const char* data, int count);
    void Close();

    // True once a read has found the device gone (hang-up, I/O error: an unplugged adapter).
    bool Lost() const { return lost_.load(); }

private:
    SerialDevice(int fd, int wakeFd);
    bool IsGoneError(int error) const;
    int ReadUntil(char* buffer, int count, bool wait);

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
