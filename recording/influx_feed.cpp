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

bool InfluxFeed::finish(std::chrono::milliseconds timeout) {
    if (!writer_) {
        return true;
    }
    writer_->finishJournal();
    return writer_->waitSent(timeout);
}

} // namespace recording
