// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/main_thread_hand_over.h"

#include <QCoreApplication>

#if defined(__SANITIZE_THREAD__)
#define TALVEK_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TALVEK_THREAD_SANITIZER 1
#endif
#endif
#if defined(TALVEK_THREAD_SANITIZER)
#include <sanitizer/tsan_interface.h>
#endif

namespace platform {

namespace {

// Qt orders a part's post, its call and its end (by its event queue, and by the reference count
// of the slot object, which either thread may drop last) inside libQt6Core, which ThreadSanitizer
// cannot see; a part tells it so at its own address, and everything else stays checked.
#if defined(TALVEK_THREAD_SANITIZER)
void handOff(void* part) {
    __tsan_release(part);
}
void takeOver(void* part) {
    __tsan_acquire(part);
}
#else
void handOff(void*) {}
void takeOver(void*) {}
#endif

// A part on its way to the main thread. Moving it into Qt's slot object, where it stays, is the
// last thing written before the post.
class PostedPart {
public:
    explicit PostedPart(std::function<void()> part) : part_(std::move(part)) {}
    PostedPart(PostedPart&& other) noexcept : part_(std::move(other.part_)) { handOff(this); }
    ~PostedPart() { takeOver(this); }

    void operator()() {
        takeOver(this);
        part_();
        handOff(this);
    }

private:
    std::function<void()> part_;
};

} // namespace

bool postToMainThread(std::function<void()> part) {
    return postToMainThread(QCoreApplication::instance(), std::move(part));
}

bool postToMainThread(QObject* context, std::function<void()> part) {
    return context &&
           QMetaObject::invokeMethod(context, PostedPart(std::move(part)), Qt::QueuedConnection);
}

} // namespace platform
