#include "tests/counter/scripted_counter.h"

#include <filesystem>
#include <unistd.h>

ScriptedCounter::ScriptedCounter(const std::string& linkFolder, int number)
    : link_(linkFolder + "/com" + std::to_string(number)) {
    std::filesystem::create_directories(linkFolder);
    std::filesystem::create_symlink(pty_.SlavePath(), link_);
    thread_ = std::thread([this] { Run(); });
}

ScriptedCounter::~ScriptedCounter() {
    stop_ = true;
    thread_.join();
    std::filesystem::remove(link_);
}

void ScriptedCounter::Answer(const std::string& command, const std::string& reply) {
    std::lock_guard lock(mutex_);
    answers_[command] = reply;
}

void ScriptedCounter::Send(const std::string& telegram) {
    pty_.Write(telegram + "\r\n");
}

std::string ScriptedCounter::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::string ScriptedCounter::WaitForBytes(std::size_t count,
                                          std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::string r = Received(); r.size() >= count) {
            return r;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return Received();
}

std::chrono::steady_clock::time_point ScriptedCounter::FirstByteAt() const {
    std::lock_guard lock(mutex_);
    return firstByte_;
}

void ScriptedCounter::Run() {
    while (!stop_) {
        const std::string bytes = pty_.Read(64, std::chrono::milliseconds(5));
        if (bytes.empty()) {
            continue;
        }
        std::string reply;
        {
            std::lock_guard lock(mutex_);
            if (received_.empty()) {
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
                if (auto a = answers_.find(command); a != answers_.end()) {
                    reply += a->second + "\r\n";
                }
            }
        }
        if (!reply.empty()) {
            pty_.Write(reply);
        }
    }
}
