// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace graph {

// A thread kept for the second half of a long trace's walk: starting a thread for every repaint
// costs more than the walk saves at line rate. One piece of work at a time, from one thread.
class SecondCore {
public:
    static SecondCore& instance();

    // Runs the work on the kept thread; the returned guard waits for it when it goes, so the
    // work may use the caller's locals.
    class Running {
    public:
        explicit Running(SecondCore& core) : core_(core) {}
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
        ~Running() { core_.waitIdle(); }

    private:
        SecondCore& core_;
    };
    [[nodiscard]] Running start(std::function<void()> work);

    SecondCore(const SecondCore&) = delete;
    SecondCore& operator=(const SecondCore&) = delete;
    ~SecondCore();

private:
    SecondCore();
    void run();
    void waitIdle();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> work_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace graph
