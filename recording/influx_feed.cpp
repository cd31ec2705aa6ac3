// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/influx_feed.h"

#include "recording/session.h"

#include <cmath>

namespace recording {
namespace {

constexpr int kReportIntervalMs = 250;

} // namespace

InfluxFeed::InfluxFeed(Session& session, InfluxTarget target, std::vector<InfluxTag> tags,
                       QObject* parent, InfluxWriter::Options options)
    : QObject(parent), session_(session), target_(std::move(target)), tags_(std::move(tags)),
      options_(options) {
    // The writer's news is fetched here rather than queued from its thread: a hand-over that
    // the thread checker can follow, and at most a quarter of a second late.
    reportTimer_.setInterval(kReportIntervalMs);
    connect(&reportTimer_, &QTimer::timeout, this, &InfluxFeed::tellReports);
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
    InfluxWriter::Reports reports{
        [this](const std::string& why) {
            keepReport({true, why});
        },
        [this] {
            keepReport({false, {}});
        },
    };
    writer_.reset();
    writer_ = std::make_unique<InfluxWriter>(target_, session_.journal().path(),
                                             InfluxPoints(tags, utcStartNs), std::move(reports),
                                             options_);
    reportTimer_.start();
}

void InfluxFeed::keepReport(Report report) {
    const std::lock_guard lock(reportsMutex_);
    reports_.push_back(std::move(report));
}

void InfluxFeed::tellReports() {
    std::vector<Report> reports;
    {
        const std::lock_guard lock(reportsMutex_);
        reports.swap(reports_);
    }
    for (const Report& report : reports) {
        if (report.failing) {
            emit failing(report.why);
        } else {
            emit recovered();
        }
    }
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
