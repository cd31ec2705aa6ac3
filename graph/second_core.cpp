// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/second_core.h"

namespace graph {

SecondCore& SecondCore::instance() {
    static SecondCore core;
    return core;
}

SecondCore::SecondCore() : thread_([this] { run(); }) {}

SecondCore::~SecondCore() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

SecondCore::Running SecondCore::start(std::function<void()> work) {
    {
        const std::lock_guard lock(mutex_);
        work_ = std::move(work);
    }
    changed_.notify_all();
    return Running(*this);
}

void SecondCore::waitIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !work_; });
}

void SecondCore::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || work_; });
        if (stopping_)
            return;
        lock.unlock();
        work_();
        lock.lock();
        work_ = nullptr;
        changed_.notify_all();
    }
}

} // namespace graph
