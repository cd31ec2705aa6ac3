// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/timers_turn.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

namespace talvek::test {

bool waitForTimersTurn(QObject* root) {
    struct Watched {
        QPointer<QTimer> timer;
        std::shared_ptr<bool> fired = std::make_shared<bool>(false);
    };
    std::vector<Watched> watched;
    QObject context;
    for (QTimer* timer : root->findChildren<QTimer*>()) {
        if (timer->isActive()) {
            Watched entry{timer};
            QObject::connect(timer, &QTimer::timeout, &context,
                             [fired = entry.fired] { *fired = true; });
            watched.push_back(entry);
        }
    }
    return QTest::qWaitFor(
        [&] {
            for (const Watched& entry : watched) {
                if (!*entry.fired && entry.timer && entry.timer->isActive()) {
                    return false;
                }
            }
            return true;
        },
        10000);
}

} // namespace talvek::test
