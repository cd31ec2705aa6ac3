// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/exit_code.h"
#include "cli/progress_line.h"
#include "cli/record_options.h"
#include "platform/port_info.h"
#include "recording/influx_feed.h"
#include "recording/measurement_file.h"
#include "recording/session.h"

#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace cli {

// One recording on the command line: a recording session with the request's set-up, whose
// readings go to standard output as they come and to the --out file at the end. The session
// waits for a device that goes away, for as long as it takes, and goes on into the same file,
// output and journal when the same device is back. With `influx` it also sends everything to
// that database, from the journal, which then is kept in the data folder when the request names
// none. Runs on the event loop; `onFinished` gets the exit status once, after a failure has been
// told on standard error.
class Recorder {
public:
    Recorder(RecordRequest request, platform::PortInfo port,
             std::function<void(ExitCode)> onFinished,
             std::optional<recording::InfluxTarget> influx = {});
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void start();
    // Ends the recording as planned: Ctrl-C, SIGTERM, --duration.
    void stop();

private:
    void finishConnect(bool connected);
    void startRecording();
    void checkDuration();
    void addReading(const counter::Reading& reading, double timeMs);
    void handleDeviceLost();
    void end(ExitCode code, const std::string& message);
    // Writes the --out file; the failure, or empty.
    std::string writeFile();
    void feedDatabase(recording::InfluxTarget target);
    std::string journalName();
    // Sends what the database has not taken yet; false, told, when that did not happen in time.
    bool finishDatabase();
    std::string whereTheReadingsAre() const;

    const RecordRequest request_;
    const platform::PortInfo port_;
    const std::function<void(ExitCode)> onFinished_;
    recording::Session session_;
    std::unique_ptr<recording::InfluxFeed> influx_;
    QTimer durationTimer_;
    ProgressLine progress_;
    std::vector<recording::MeasurementPoint> readings_;
    std::int64_t startUtcMs_ = 0; // the connect, for --time utc
    bool started_ = false;        // the header is out and readings are taken
    bool ended_ = false;
    bool outputFailed_ = false; // a reading did not reach standard output
};

} // namespace cli
