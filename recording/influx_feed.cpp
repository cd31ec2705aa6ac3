// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/influx_feed.h"

#include "recording/session.h"

#include <cmath>

namespace recording {

InfluxFeed::InfluxFeed(Session& session, InfluxTarget target, std::vector<InfluxTag> tags,
                       QObject* parent, InfluxWriter::Options options)
    : QObject(parent), session_(session), target_(std::move(target)), tags_(std::move(tags)),
      options_(options) {
    connect(&session_, &Session::connectFinished, this, [this](bool connected) {
        if (connected) {
            begin();
        }
    });
    connect(&session_, &Session::reconnected, this,
            [this](const std::string&, std::int64_t lostMs) {
                const auto lost = static_cast<double>(lostMs);
                addGap(session_.elapsedMs() - lost, lost / 1000);
            });
    connect(&session_, &Session::telegramsLost, this, [this] {
        if (!lossSinceMs_) {
            lossSinceMs_ = lastReadingMs_.value_or(session_.elapsedMs());
        }
    });
    connect(&session_, &Session::readingReceived, this,
            [this](const counter::Reading&, double timeMs) { takeReading(timeMs); });
}

InfluxFeed::~InfluxFeed() = default;

void InfluxFeed::begin() {
    const std::int64_t nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::system_clock::now().time_since_epoch())
                                   .count();
    const std::int64_t utcStartNs = nowNs - std::llround(session_.elapsedMs() * 1e6);
    std::vector<InfluxTag> tags = tags_;
    tags.push_back({"port", session_.driver().port()});
    tags.push_back({"instrument", std::string(session_.instrument().name())});
    tags.push_back({"identity", session_.driver().device()});
    lastReadingMs_.reset();
    lossSinceMs_.reset();
    const auto hop = [this](auto call) {
        QMetaObject::invokeMethod(this, call, Qt::QueuedConnection);
    };
    InfluxWriter::Reports reports{
        [this, hop](const std::string& why) { hop([this, why] { emit failing(why); }); },
        [this, hop] { hop([this] { emit recovered(); }); },
    };
    writer_.reset();
    writer_ = std::make_unique<InfluxWriter>(target_, session_.journal().path(),
                                             InfluxPoints(tags, utcStartNs), std::move(reports),
                                             options_);
}

void InfluxFeed::addGap(double timeMs, double seconds) {
    if (writer_) {
        writer_->addGap(timeMs, seconds);
    }
}

void InfluxFeed::takeReading(double timeMs) {
    if (lossSinceMs_) {
        addGap(*lossSinceMs_, (timeMs - *lossSinceMs_) / 1000);
        lossSinceMs_.reset();
    }
    lastReadingMs_ = timeMs;
}

bool InfluxFeed::finish(std::chrono::milliseconds timeout) {
    if (!writer_) {
        return true;
    }
    if (lossSinceMs_) {
        addGap(*lossSinceMs_, (session_.elapsedMs() - *lossSinceMs_) / 1000);
        lossSinceMs_.reset();
    }
    writer_->finishJournal();
    return writer_->waitSent(timeout);
}

} // namespace recording
