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

// Qt's event queue makes what a poster wrote visible to its part, but through a mutex inside
// libQt6Core, which ThreadSanitizer cannot see; these tell it so, and everything else the two
// threads share stays checked.
#if defined(TALVEK_THREAD_SANITIZER)
char handOverOrder;
void posted() {
    __tsan_release(&handOverOrder);
}
void arrived() {
    __tsan_acquire(&handOverOrder);
}
#else
void posted() {}
void arrived() {}
#endif

// A part on its way to the main thread.
class PostedPart {
public:
    explicit PostedPart(std::function<void()> part) : part_(std::move(part)) { posted(); }
    PostedPart(PostedPart&&) = default;
    ~PostedPart() { arrived(); } // also when the application goes away before the call

    void operator()() {
        arrived();
        part_();
    }

private:
    std::function<void()> part_;
};

} // namespace

bool postToMainThread(std::function<void()> part) {
    QCoreApplication* app = QCoreApplication::instance();
    return app && QMetaObject::invokeMethod(app, PostedPart(std::move(part)), Qt::QueuedConnection);
}

} // namespace platform
