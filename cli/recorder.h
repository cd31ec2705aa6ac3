// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/exit_code.h"
#include "cli/progress_line.h"
#include "cli/record_options.h"
#include "counter/journal_writer.h"
#include "counter/kelvo_counter.h"
#include "counter/measurement_file.h"
#include "counter/reconnector.h"
#include "platform/port_info.h"

#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

namespace cli {

// One recording: connects to the counter, sets it up step by step (each step waits for its
// reply), measures continuously and collects the readings until it is stopped; then writes the
// file. A device that goes away is waited for, for as long as it takes, and when the same device
// is back the counter is set up again and the readings go on into the same file, output and
// journal. Runs on the event loop; `onFinished` gets the exit status once, after a failure has
// been told on standard error.
class Recorder {
public:
    static constexpr int kReplyTimeoutMs = 5000;

    Recorder(RecordRequest request, platform::PortInfo port,
             std::function<void(ExitCode)> onFinished);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void start();
    // Ends the recording as planned: Ctrl-C, SIGTERM, --duration.
    void stop();

private:
    std::int64_t elapsedMs() const;
    void finishConnect(bool connected);
    void sendNextStep();
    void finishStep(bool answered);
    void startMeasuring();
    void checkDuration();
    void addReading(const counter::Reading& reading);
    void addStatus(const std::string& telegram);
    void handleDeviceLost();
    void resume(const std::string& port, std::int64_t lostMs);
    void end(ExitCode code, const std::string& message);
    // Writes the --out file; the failure, or empty.
    std::string writeFile();
    void closeJournal(bool keep);

    const RecordRequest request_;
    const platform::PortInfo port_;
    const std::function<void(ExitCode)> onFinished_;
    counter::KelvoCounter counter_;
    counter::Reconnector reconnector_{counter_}; // created after counter_: it listens to it
    QTimer replyDeadline_;
    QTimer durationTimer_;
    std::unique_ptr<counter::JournalWriter> journal_;
    ProgressLine progress_;
    std::vector<counter::MeasurementPoint> readings_;
    double startTime_ = 0;     // date-time of the connect, for the .dat header
    std::int64_t startMs_ = 0; // monotonic, the zero of the time stamps
    std::size_t nextStep_ = 0;
    std::string lastReply_;
    bool stepPending_ = false; // a setup step waits for its reply
    bool recording_ = false;   // the header is out and readings are taken
    bool ended_ = false;
};

} // namespace cli
