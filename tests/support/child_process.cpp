// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace talvek::test {

namespace {

// The test's environment with `changes` applied, as "NAME=value" texts.
std::vector<std::string>
changedEnvironment(const std::vector<std::pair<std::string, std::string>>& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool changed = false;
        for (const auto& change : changes) {
            changed = changed || change.first == name;
        }
        if (!changed) {
            result.push_back(text);
        }
    }
    for (const auto& [name, value] : changes) {
        result.push_back(name + "=" + value);
    }
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ChildProcess::~ChildProcess() {
    stop();
    if (output_ >= 0) {
        ::close(output_);
    }
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::pair<std::string, std::string>>& environment) {
    // Everything the child needs is built before the fork: between fork and exec it may only
    // make system calls.
    std::vector<std::string> argumentTexts{program};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environmentTexts = changedEnvironment(environment);
    std::vector<char*> argv = Pointers(argumentTexts);
    std::vector<char*> envp = Pointers(environmentTexts);
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        return false;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(pipe[1], STDOUT_FILENO);
        ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(pipe[1]);
    if (pid_ < 0) {
        ::close(pipe[0]);
        return false;
    }
    output_ = pipe[0];
    ::fcntl(output_, F_SETFL, ::fcntl(output_, F_GETFL) | O_NONBLOCK);
    return true;
}

std::string ChildProcess::readOutput(int timeoutMs) {
    std::string text;
    if (output_ < 0) {
        return text;
    }
    pollfd ready{output_, POLLIN, 0};
    ::poll(&ready, 1, timeoutMs);
    char chunk[4096];
    ssize_t n = 0;
    while ((n = ::read(output_, chunk, sizeof chunk)) > 0) {
        text.append(chunk, static_cast<std::size_t>(n));
    }
    return text;
}

bool ChildProcess::running() {
    reap();
    return pid_ > 0 && !finished_;
}

void ChildProcess::stop() {
    signal(SIGTERM);
    if (!waitFinished(3000)) {
        signal(SIGKILL);
        waitFinished(3000);
    }
}

void ChildProcess::signal(int number) {
    if (running()) {
        ::kill(pid_, number);
    }
}

bool ChildProcess::waitFinished(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (running()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void ChildProcess::reap() {
    if (pid_ <= 0 || finished_) {
        return;
    }
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_ || (done < 0 && errno == ECHILD)) {
        finished_ = true;
        exitCode_ = done == pid_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
}

} // namespace talvek::test
