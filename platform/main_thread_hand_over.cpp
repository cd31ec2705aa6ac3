#include "platform/main_thread_hand_over.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace platform {

namespace {

struct HandOver {
    std::function<void()> Part;
    bool Done = false;
};

// Hand-overs wait here, and the posted event carries no data: every byte a hand-over carries goes
// through this mutex, so the two threads meet at a lock of ours, not inside Qt's event queue.
std::mutex queueMutex;
std::condition_variable served;
std::deque<HandOver*> queued;

void ServeOne() {
    HandOver* next = nullptr;
    {
        std::lock_guard lock(queueMutex);
        if (queued.empty()) {
            return;
        }
        next = queued.front();
        queued.pop_front();
    }
    next->Part();
    {
        std::lock_guard lock(queueMutex);
        next->Done = true;
    }
    served.notify_all();
}

} // namespace

void RunOnMainThread(std::function<void()> part) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        return;
    }
    HandOver handOver{std::move(part)};
    std::unique_lock lock(queueMutex);
    QMetaObject::invokeMethod(
        app, [] { ServeOne(); }, Qt::QueuedConnection);
    queued.push_back(&handOver);
    while (!served.wait_for(lock, std::chrono::milliseconds(100), [&] { return handOver.Done; })) {
        if (QCoreApplication::instance()) {
            continue;
        }
        // The application is gone: withdraw, unless the main thread has already taken it.
        const auto it = std::find(queued.begin(), queued.end(), &handOver);
        if (it != queued.end()) {
            queued.erase(it);
            return;
        }
    }
}

} // namespace platform
