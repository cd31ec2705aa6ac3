// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/influx_target.h"
#include "recording/influx_writer.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace recording {

class Session;

// Everything a recording session records, also in a time-series database: from each connect on,
// an InfluxWriter sends the session's journal with the tags port, instrument and identity (the
// instrument's identification) beside the user's; the journal holds the gaps the session knows
// of (a reconnect, telegrams the line lost), so they go with it. The time stamps start from the
// system's UTC clock at the connect, less the session's time since its connect attempt, and follow
// the session's monotonic time from there, so they never go back when the wall clock is set.
class InfluxFeed : public QObject {
    Q_OBJECT
public:
    InfluxFeed(Session& session, InfluxTarget target, std::vector<InfluxTag> tags,
               QObject* parent = nullptr, InfluxWriter::Options options = {});
    ~InfluxFeed() override;

    const InfluxTarget& target() const { return target_; }
    // After the session stopped: the writer sends what is left in the journal. True when
    // everything reached the database within `timeout` (at once: false while that is not yet
    // so; the writer goes on until the next connect or the end of the feed).
    bool finish(std::chrono::milliseconds timeout);

signals:
    // The database stopped taking the points: why. Once, until it takes them again.
    void failing(const std::string& why);
    void recovered();

private:
    struct Report {
        bool failing = false;
        std::string why;
    };

    void begin();
    // On the writer's thread.
    void keepReport(Report report);
    void tellReports();

    Session& session_;
    const InfluxTarget target_;
    const std::vector<InfluxTag> tags_;
    const InfluxWriter::Options options_;
    std::mutex reportsMutex_;
    std::vector<Report> reports_;
    QTimer reportTimer_;
    std::unique_ptr<InfluxWriter> writer_; // last: it ends before what it reports into
};

} // namespace recording
