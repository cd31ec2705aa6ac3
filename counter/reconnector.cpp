// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/reconnector.h"

#include "counter/kelvo_counter.h"
#include "platform/clock.h"
#include "platform/port_catalog.h"

#include <QTimer>

namespace counter {

Reconnector::Reconnector(KelvoCounter& counter, QObject* parent, int pollMs,
                         std::function<std::int64_t()> clockMs)
    : QObject(parent), counter_(counter), poll_(new QTimer(this)),
      clockMs_(clockMs ? std::move(clockMs) : platform::monotonicMs) {
    poll_->setInterval(pollMs);
    connect(poll_, &QTimer::timeout, this, &Reconnector::poll);
    connect(&counter_, &KelvoCounter::connectFinished, this, &Reconnector::noteIdentity);
    connect(&counter_, &KelvoCounter::deviceLost, this, &Reconnector::startWaiting);
    connect(&counter_, &KelvoCounter::reopenFinished, this, &Reconnector::finishReopen);
}

bool Reconnector::waiting() const {
    return poll_->isActive();
}

void Reconnector::noteIdentity(bool connected) {
    poll_->stop();
    identity_.clear();
    if (!connected) {
        return;
    }
    if (const auto port = platform::systemPortCatalog()->find(counter_.port())) {
        identity_ = port->identity;
    }
}

void Reconnector::startWaiting() {
    if (identity_.empty() || poll_->isActive()) {
        return;
    }
    lostAtMs_ = clockMs_();
    poll_->start();
}

void Reconnector::poll() {
    if (!counter_.isConnected()) {
        poll_->stop(); // the user disconnected meanwhile
        return;
    }
    if (counter_.reopening() || !counter_.deviceGone()) {
        return;
    }
    if (const auto port = platform::systemPortCatalog()->findIdentity(identity_)) {
        counter_.setPort(port->comName);
        counter_.reopen();
    }
}

void Reconnector::finishReopen(bool reopened) {
    if (reopened && poll_->isActive()) {
        poll_->stop();
        emit reconnected(counter_.port(), clockMs_() - lostAtMs_);
    }
}

} // namespace counter
