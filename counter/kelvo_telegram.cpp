// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/kelvo_counter.h"
#include "counter/telegram_reading.h"

#include <utility>

namespace counter {

void KelvoCounter::handleTelegram(const std::string& telegram) {
    if (isIdentification(telegram)) {
        idText_ = telegram;
        // It connects; it is no reply to anything.
        if (identifying_) {
            finishIdentify(false);
            return;
        }
    }
    if (!connected_ || reopening_ || telegram.empty()) {
        return;
    }
    if (const auto reading = readingFromTelegram(telegram)) {
        emit readingReceived(*reading);
        return;
    }
    emit statusReceived(telegram);
    endReplyWaits(true);
}

void KelvoCounter::endReplyWaits(bool answered) {
    for (int waits = std::exchange(pendingReplies_, 0); waits > 0; --waits) {
        emit commandFinished(answered);
    }
}

} // namespace counter
