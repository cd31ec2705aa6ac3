// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace talvek::test {

// A program run as a child process, started with fork and exec. Qt's QProcess starts children
// with clone(CLONE_VM | CLONE_VFORK); the child's calls before exec then run on the parent's
// ThreadSanitizer state, which afterwards misses synchronisation and reports races that are not
// there. Standard output comes through a pipe; standard error is the test's own.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess(); // stops a child still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program` (looked up in PATH) with `arguments` and the test's environment changed
    // by `environment` (name, value); false when it could not be started.
    bool start(const std::string& program, const std::vector<std::string>& arguments,
               const std::vector<std::pair<std::string, std::string>>& environment = {});
    // What the child wrote to its standard output since the last call, waiting up to
    // `timeoutMs` for the first byte.
    std::string readOutput(int timeoutMs = 0);
    bool running();
    void signal(int number);
    // Ends a child still running: SIGTERM, and SIGKILL if it has not ended 3 s later.
    void stop();
    // Waits until the child has ended; false when it still runs after `timeoutMs`.
    bool waitFinished(int timeoutMs);
    // The exit code of a child that ended normally, -1 otherwise.
    int exitCode() const { return exitCode_; }
    pid_t pid() const { return pid_; }

private:
    void reap();

    pid_t pid_ = -1;
    int output_ = -1;
    bool finished_ = false;
    int exitCode_ = -1;
};

} // namespace talvek::test
