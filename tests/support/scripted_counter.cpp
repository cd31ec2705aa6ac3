// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/scripted_counter.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace talvek::test {

namespace {

int newStopEvent() {
    const int event = ::eventfd(0, EFD_CLOEXEC);
    if (event < 0) {
        throw std::runtime_error("eventfd failed");
    }
    return event;
}

} // namespace

ScriptedCounter::ScriptedCounter() : stopEvent_(newStopEvent()), thread_([this] { serve(); }) {}

ScriptedCounter::ScriptedCounter(const std::string& linkFolder, int number)
    : link_(linkFolder + "/com" + std::to_string(number)), stopEvent_(newStopEvent()) {
    std::filesystem::create_directories(linkFolder);
    std::filesystem::create_symlink(pty_.slavePath(), link_);
    thread_ = std::thread([this] { serve(); });
}

ScriptedCounter::~ScriptedCounter() {
    stopServing();
    ::close(stopEvent_);
    if (!link_.empty()) {
        std::filesystem::remove(link_);
    }
}

void ScriptedCounter::answer(const std::string& command, const std::string& reply) {
    std::lock_guard lock(mutex_);
    answers_[command] = reply;
}

void ScriptedCounter::send(const std::string& telegram) {
    pty_.write(telegram + "\r\n");
}

std::string ScriptedCounter::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

void ScriptedCounter::clearReceived() {
    std::lock_guard lock(mutex_);
    received_.clear();
}

std::string ScriptedCounter::waitForBytes(std::size_t count,
                                          std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::string r = received(); r.size() >= count) {
            return r;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return received();
}

std::chrono::steady_clock::time_point ScriptedCounter::firstByteAt() const {
    std::lock_guard lock(mutex_);
    return firstByte_;
}

void ScriptedCounter::unplug() {
    stopServing();
    pty_.closeMaster();
}

void ScriptedCounter::stopServing() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(stopEvent_, &one, sizeof one);
        thread_.join();
    }
}

void ScriptedCounter::serve() {
    for (;;) {
        std::array<pollfd, 2> ready{{{pty_.masterFd(), POLLIN, 0}, {stopEvent_, POLLIN, 0}}};
        if (::poll(ready.data(), ready.size(), -1) < 0) {
            continue;
        }
        if (ready[1].revents != 0) {
            return;
        }
        const std::string bytes = pty_.readAvailable();
        if (bytes.empty()) {
            continue;
        }
        std::string replies;
        {
            std::lock_guard lock(mutex_);
            if (firstByte_ == std::chrono::steady_clock::time_point{}) {
                firstByte_ = std::chrono::steady_clock::now();
            }
            received_ += bytes;
            pending_ += bytes;
            for (auto cr = pending_.find('\r'); cr != std::string::npos; cr = pending_.find('\r')) {
                std::string command = pending_.substr(0, cr);
                pending_.erase(0, cr + 1);
                if (!command.empty() && command[0] == '\x1b') {
                    command.erase(0, 1);
                }
                if (auto a = answers_.find(command); a != answers_.end() && !a->second.empty()) {
                    replies += a->second + "\r\n";
                }
            }
        }
        if (!replies.empty()) {
            pty_.write(replies);
        }
    }
}

} // namespace talvek::test
