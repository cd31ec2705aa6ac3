#pragma once

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

// Applies a device-control text such as "baud=9600 parity=n data=8 stop=1" onto `state`;
// settings the text does not name keep their value. False (state untouched) for an unknown key,
// a malformed value or a baud rate the terminal layer does not offer.
bool BuildSerialLineState(const std::string& text, SerialLineState& state);

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
    // controlling terminal, locked against every other opener. Nothing when it does not open.
    static std::shared_ptr<SerialDevice> Open(const std::string& path);
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Queue sizes are accepted for an open device; the terminal layer sizes its own queues.
    bool SetupQueues(int inputBytes, int outputBytes);
    bool GetLineState(SerialLineState& state);
    // Applies the state in raw mode: no echo, no line editing, no character translation.
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
