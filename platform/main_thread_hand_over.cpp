// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/main_thread_hand_over.h"

#include <QCoreApplication>

namespace platform {

bool postToMainThread(std::function<void()> part) {
    QCoreApplication* app = QCoreApplication::instance();
    return app && QMetaObject::invokeMethod(app, std::move(part), Qt::QueuedConnection);
}

} // namespace platform
