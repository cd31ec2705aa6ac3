#include "tests/app/scripted_counter.h"

TScriptedCounter::TScriptedCounter() : Thread([this] { Serve(); }) {
    SetReply("\x1bI", "kelvo FC-2");
}

TScriptedCounter::~TScriptedCounter() {
    Stop = true;
    if (Thread.joinable()) {
        Thread.join();
    }
}

void TScriptedCounter::Unplug() {
    Stop = true;
    Thread.join();
    Pty.CloseMaster();
}

void TScriptedCounter::SetReply(const std::string& command, const std::string& reply) {
    std::lock_guard lock(Mutex);
    Replies[command] = reply;
}

void TScriptedCounter::SendTelegram(const std::string& telegram) {
    Pty.Write(telegram + "\r\n");
}

std::string TScriptedCounter::Received() const {
    std::lock_guard lock(Mutex);
    return Bytes;
}

void TScriptedCounter::ClearReceived() {
    std::lock_guard lock(Mutex);
    Bytes.clear();
}

void TScriptedCounter::Serve() {
    while (!Stop) {
        const std::string in = Pty.Read(4096, std::chrono::milliseconds(10));
        std::vector<std::string> answers;
        {
            std::lock_guard lock(Mutex);
            Bytes += in;
            for (const char c : in) {
                if (c != '\r') {
                    Pending += c;
                    continue;
                }
                const auto reply = Replies.find(Pending);
                if (reply != Replies.end() && !reply->second.empty()) {
                    answers.push_back(reply->second);
                }
                Pending.clear();
            }
        }
        for (const std::string& answer : answers) {
            SendTelegram(answer);
        }
    }
}
