// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/program_run.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace talvek::test {

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::pair<std::string, std::string>>& environment,
                      StartEnvironment start) {
    // env(1) changes the environment, so that the child between fork and exec only makes
    // system calls.
    std::vector<std::string> texts{"/usr/bin/env"};
    if (start == StartEnvironment::Empty) {
        texts.push_back("-i");
    }
    for (const auto& [name, value] : environment) {
        texts.push_back(name + "=" + value);
    }
    texts.push_back(program);
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    int out[2];
    int err[2];
    ProgramRun run;
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        return run;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    std::array<pollfd, 2> streams{{{out[0], POLLIN, 0}, {err[0], POLLIN, 0}}};
    std::array<std::string*, 2> received{&run.out, &run.err};
    for (int open = 2; open > 0 && pid > 0;) {
        ::poll(streams.data(), streams.size(), -1);
        for (std::size_t i = 0; i < streams.size(); ++i) {
            if (streams[i].fd < 0 || streams[i].revents == 0) {
                continue;
            }
            char chunk[1 << 14];
            const ssize_t got = ::read(streams[i].fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got > 0) {
                received[i]->append(chunk, static_cast<std::size_t>(got));
            } else {
                streams[i].fd = -1;
                --open;
            }
        }
    }
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    return run;
}

} // namespace talvek::test
