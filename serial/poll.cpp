#include "serial/poll.h"

#include "platform/clock.h"
#include "platform/main_thread_hand_over.h"
#include "platform/serial_device.h"
#include "serial/receive_buffer.h"

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <sys/resource.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kReadChunk = 80;
constexpr auto kPassSleep = std::chrono::milliseconds(10);
// About a second of the line at 9600 baud.
constexpr std::size_t kHurryBacklog = 1024;
// The time of the last hand-over before the first one: an instant long past.
constexpr std::int64_t kLongAgo = std::numeric_limits<std::int64_t>::min() / 4;

void LowerOwnPriorityOneStep() {
    const auto tid = static_cast<id_t>(::gettid());
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, tid);
    if (errno == 0) {
        ::setpriority(PRIO_PROCESS, tid, nice + 1);
    }
}

} // namespace

std::atomic<int> TPoll::running_{0};

bool TPoll::Start(std::shared_ptr<TPollLink> link, std::shared_ptr<platform::SerialDevice> device,
                  std::int32_t timeOutMs, TDelimiter delimiter, std::size_t backlogLimit) {
    const bool watchSilence = link->receiver && link->receiver->silence;
    auto* poll = new TPoll(std::move(link), std::move(device), watchSilence, timeOutMs, delimiter,
                           backlogLimit);
    try {
        std::thread([poll] {
            LowerOwnPriorityOneStep();
            poll->Execute();
            delete poll;
        }).detach();
    } catch (const std::system_error&) {
        delete poll; // out of threads or memory for a stack
        return false;
    }
    return true;
}

int TPoll::Running() {
    return running_.load();
}

TPoll::TPoll(std::shared_ptr<TPollLink> link, std::shared_ptr<platform::SerialDevice> device,
             bool watchSilence, std::int32_t timeOutMs, TDelimiter delimiter,
             std::size_t backlogLimit)
    : link_(std::move(link)), device_(std::move(device)), watchSilence_(watchSilence),
      timeOut_(-static_cast<std::int64_t>(timeOutMs)), delimiter_(delimiter),
      delimiterText_(serial::DelimiterText(delimiter)), backlogLimit_(backlogLimit) {
    ++running_;
}

TPoll::~TPoll() {
    --running_;
}

void TPoll::Execute() {
    std::int64_t lastHandOver = kLongAgo;
    // Complete telegrams wait in the buffer: the pass takes what has arrived without waiting.
    bool backlog = false;
    do {
        // A large backlog is left in the kernel and the sender until it has fallen again.
        if (!backlog || buffer_.size() < backlogLimit_) {
            ReadDevice(!backlog);
        }
        if (serial::BoundReceiveBuffer(buffer_, delimiterText_)) {
            lineOverflowed_ = true;
        }
        if (!buffer_.empty()) {
            if (delimiter_ == TDelimiter::no) {
                DataHandOver(std::move(buffer_));
                buffer_.clear();
                lastHandOver = platform::MonotonicMs();
            } else if (auto telegram = serial::CutTelegram(buffer_, delimiterText_)) {
                if (lineOverflowed_) {
                    lineOverflowed_ = false; // only the end of that line is left: not a telegram
                } else {
                    lastHandOver = platform::MonotonicMs();
                    DataHandOver(std::move(*telegram));
                }
            }
        }
        backlog = serial::HoldsTelegram(buffer_, delimiterText_);
        // A backlog of more than a second of the line skips the sleep and drains as fast as the
        // main thread takes the hand-overs (each waits for its handler, so this cannot spin).
        if (!backlog || buffer_.size() <= kHurryBacklog) {
            std::this_thread::sleep_for(kPassSleep);
        }
        if (watchSilence_) {
            const std::int64_t now = platform::MonotonicMs();
            if (now - lastHandOver > std::abs(timeOut_)) {
                lastHandOver = now;
                if (timeOut_ < 0) {
                    timeOut_ = -timeOut_;
                } else {
                    TimeOutHandOver();
                }
            }
        }
    } while (!link_->Terminated);
}

void TPoll::ReadDevice(bool waitForBytes) {
    char chunk[kReadChunk];
    const int count =
        waitForBytes ? device_->Read(chunk, kReadChunk) : device_->ReadAvailable(chunk, kReadChunk);
    if (count > 0) {
        buffer_.append(chunk, static_cast<std::size_t>(count));
    }
    if (device_->Lost() && !deviceLost_) {
        deviceLost_ = true;
        DeviceLostHandOver();
    }
}

// Each hand-over holds the receiver for its call: a receiver may close or delete the port.
void TPoll::DataHandOver(std::string telegram) {
    platform::RunOnMainThread([this, telegram = std::move(telegram)] {
        if (const auto receiver = link_->receiver; receiver && receiver->telegram) {
            receiver->telegram(telegram);
        }
    });
}

void TPoll::TimeOutHandOver() {
    platform::RunOnMainThread([this] {
        if (const auto receiver = link_->receiver; receiver && receiver->silence) {
            receiver->silence();
        }
    });
}

void TPoll::DeviceLostHandOver() {
    platform::RunOnMainThread([this] {
        if (const auto receiver = link_->receiver; receiver && receiver->deviceLost) {
            receiver->deviceLost();
        }
    });
}
