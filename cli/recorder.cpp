// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/recorder.h"

#include "cli/diagnostics.h"
#include "recording/measurement_writer.h"
#include "recording/utc_time.h"
#include "serial/port_open_failure.h"

#include <QLocale>
#include <cmath>
#include <cstdio>

namespace cli {

namespace {

constexpr std::chrono::seconds kDatabaseDrain{10};

// A journal must be the database's buffer: without one of the user's it goes to the data folder.
recording::JournalFolder journalFolderFor(const RecordRequest& request, bool toDatabase) {
    return recording::JournalFolder(toDatabase && request.journalPath.empty()
                                        ? recording::JournalFolder::userDataFolder()
                                        : std::string());
}

// False once standard output failed (a full disk under a redirection, a closed pipe).
bool printLine(const std::string& text) {
    print(text);
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

} // namespace

Recorder::Recorder(RecordRequest request, platform::PortInfo port,
                   std::function<void(ExitCode)> onFinished,
                   std::optional<recording::InfluxTarget> influx)
    : request_(std::move(request)), port_(std::move(port)), onFinished_(std::move(onFinished)),
      session_(*request_.instrument, journalFolderFor(request_, influx.has_value())) {
    durationTimer_.setSingleShot(true);
    QObject::connect(&session_, &recording::Session::connectFinished, &session_,
                     [this](bool connected) { finishConnect(connected); });
    QObject::connect(&session_, &recording::Session::setupFinished, &session_,
                     [this] { startRecording(); });
    QObject::connect(&session_, &recording::Session::setupFailed, &session_,
                     [this](const std::string& why) { end(ExitCode::NoCounter, why); });
    QObject::connect(
        &session_, &recording::Session::readingReceived, &session_,
        [this](const counter::Reading& reading, double timeMs) { addReading(reading, timeMs); });
    QObject::connect(&session_, &recording::Session::deviceLost, &session_,
                     [this] { handleDeviceLost(); });
    QObject::connect(
        &session_, &recording::Session::reconnected, &session_,
        [this](const std::string& port, std::int64_t lostMs) {
            tell("Serial device " + port + " reconnected; " +
                 QString::number(static_cast<double>(lostMs) / 1000, 'f', 1).toStdString() +
                 " s lost");
        });
    QObject::connect(&session_, &recording::Session::journalStopped, &session_,
                     [this](const std::string& reason) {
                         warn("the journal " + journalName() + " stopped: " + reason +
                              "; the recording goes on in memory");
                     });
    QObject::connect(&durationTimer_, &QTimer::timeout, &session_, [this] { checkDuration(); });
    if (influx) {
        feedDatabase(std::move(*influx));
    }
}

void Recorder::feedDatabase(recording::InfluxTarget target) {
    influx_ = std::make_unique<recording::InfluxFeed>(session_, std::move(target),
                                                      request_.influx.settings.tags);
    const std::string url = influx_->target().shownUrl;
    QObject::connect(influx_.get(), &recording::InfluxFeed::failing, &session_,
                     [this, url](const std::string& why) {
                         progress_.finish();
                         tell("the database at " + url + " does not take the readings (" + why +
                              "); they wait in the journal " + journalName());
                     });
    QObject::connect(influx_.get(), &recording::InfluxFeed::recovered, &session_, [this, url] {
        progress_.finish();
        tell("the database at " + url + " takes the readings again");
    });
}

std::string Recorder::journalName() {
    return request_.journalPath.empty() ? session_.journal().path() : request_.journalPath;
}

bool Recorder::finishDatabase() {
    if (!influx_ || influx_->finish(kDatabaseDrain)) {
        return true;
    }
    warn("not every reading reached the database at " + influx_->target().shownUrl +
         "; the journal " + journalName() + " keeps them");
    return false;
}

// A recording that never reached its end leaves its journal.
Recorder::~Recorder() = default;

void Recorder::start() {
    if (ended_) {
        return; // stopped before it began
    }
    recording::SessionPlan plan;
    plan.port = port_.comName;
    plan.setup = request_.setup;
    plan.start = request_.start;
    plan.journal = !request_.journalPath.empty() ? recording::SessionPlan::Journal::AtPath
                   : influx_                     ? recording::SessionPlan::Journal::InFolder
                                                 : recording::SessionPlan::Journal::None;
    plan.journalPath = request_.journalPath;
    session_.start(std::move(plan));
}

void Recorder::stop() {
    end(ExitCode::Done, {});
}

void Recorder::finishConnect(bool connected) {
    if (connected) {
        return; // the session sets the instrument up
    }
    if (const auto& failure = session_.driver().openFailure()) {
        end(ExitCode::NoPort, serial::openFailureText(*failure));
        return;
    }
    end(ExitCode::NoCounter, "no " + std::string(request_.instrument->caption()) + " answered on " +
                                 port_.comName + " (" + port_.deviceNode + ") within " +
                                 std::to_string(request_.instrument->identifyTimeoutMs()) + " ms");
}

void Recorder::startRecording() {
    started_ = true;
    startUtcMs_ = recording::utcMsOfLocalDateTime(session_.startTime()).value_or(0);
    const std::string header =
        request_.utcTimes ? std::string(recording::kTimestampedCsvHeader) + '\n'
                          : recording::datHeader(session_.startTime(), QLocale::system(), "\n");
    outputFailed_ = !printLine(header) || outputFailed_;
    checkDuration();
}

// Stops once --duration has passed since the connect, like the time stamps; a QTimer holds at most
// some 24 days, so a longer span takes several turns.
void Recorder::checkDuration() {
    if (!request_.durationSeconds) {
        return;
    }
    const double left = *request_.durationSeconds * 1000 - session_.elapsedMs();
    if (left <= 0) {
        stop();
        return;
    }
    durationTimer_.start(static_cast<int>(std::min(std::ceil(left), 2e9)));
}

void Recorder::addReading(const counter::Reading& reading, double timeMs) {
    if (ended_) {
        return;
    }
    readings_.push_back({timeMs, reading.value});
    const std::string line = request_.utcTimes
                                 ? recording::timestampedLine(startUtcMs_, timeMs, reading.value)
                                 : recording::measurementLine(recording::MeasurementFormat::Dat,
                                                              timeMs, reading.value, '.');
    outputFailed_ = !printLine(line + '\n') || outputFailed_;
    const auto now = static_cast<std::int64_t>(session_.elapsedMs());
    progress_.show(progressText(readings_.size(), reading.value,
                                reading.quantity != counter::Quantity::Frequency, now),
                   now);
    if (request_.count && readings_.size() >= *request_.count) {
        stop();
    }
}

// The device went away under the connection. A logger left alone for a week waits for it as long
// as it takes; --duration and a stop signal still end the recording meanwhile.
void Recorder::handleDeviceLost() {
    const std::string port = session_.driver().port();
    if (!session_.awaitingDevice()) {
        end(ExitCode::NoCounter,
            port + " (" + port_.deviceNode + ") went away (unplugged?) after " +
                std::to_string(readings_.size()) +
                " readings; the system's port list has nothing to know it again by" +
                (request_.outPath.empty() ? std::string() : "; they are in " + request_.outPath));
        return;
    }
    progress_.finish();
    tell("Serial device " + port + " lost; waiting for it to come back");
}

void Recorder::end(ExitCode code, const std::string& message) {
    if (ended_) {
        return;
    }
    ended_ = true;
    durationTimer_.stop();
    progress_.finish();
    const bool complete = session_.stop();
    const bool inDatabase = finishDatabase();
    std::string writeError;
    if ((started_ || code == ExitCode::Done) && !request_.outPath.empty()) {
        writeError = writeFile();
    }
    const bool keep =
        !writeError.empty() || code != ExitCode::Done || request_.keepJournal || !inDatabase;
    // A journal of the data folder that holds no reading is of no use to anybody; a station
    // restarted after each failure would pile them up.
    const bool empty = !started_ && request_.journalPath.empty();
    if ((!keep || empty) && complete) {
        session_.journal().discard();
    }
    if (!writeError.empty()) {
        fail(ExitCode::Unwritable, writeError);
    }
    if (code != ExitCode::Done && !message.empty()) {
        fail(code, message);
    }
    if (const std::uint64_t noise = session_.driver().noiseTelegrams();
        code == ExitCode::Done && writeError.empty() && noise > 0) {
        tell(std::to_string(noise) +
             (noise == 1 ? " telegram of line noise on " + port_.comName +
                               " was left out or cut off the reading it was glued to"
                         : " telegrams of line noise on " + port_.comName +
                               " were left out or cut off the readings they were glued to"));
    }
    onFinished_(code == ExitCode::Done && !writeError.empty() ? ExitCode::Unwritable : code);
}

std::string Recorder::writeFile() {
    const std::string error = recording::saveMeasurement(
        request_.outPath, request_.outFormat, readings_.size(),
        [this](std::size_t i) { return readings_[i]; }, session_.startTime(), QLocale::system());
    if (error.empty()) {
        return {};
    }
    return "cannot write " + request_.outPath + ": " + error + "; " + whereTheReadingsAre();
}

// After the file failed: what holds the readings, as far as it does. There is a journal: the --out
// file always has one.
std::string Recorder::whereTheReadingsAre() const {
    const std::uint64_t journalled = session_.journal().readingsWritten();
    const std::string output = outputFailed_
                                   ? std::string()
                                   : "standard output had all " + std::to_string(readings_.size());
    if (journalled >= readings_.size()) {
        return "the readings are in the journal " + request_.journalPath;
    }
    return "the journal " + request_.journalPath + " holds only the first " +
           std::to_string(journalled) + " of the " + std::to_string(readings_.size()) +
           " readings" + (output.empty() ? std::string() : ", " + output);
}

} // namespace cli
