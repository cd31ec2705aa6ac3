// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/driver.h"
#include "recording/gap.h"
#include "recording/journal_files.h"
#include "recording/recording_journal.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace recording {

class Reconnector;

// A command a recording sends before it records, waiting for its reply: one of the instrument's
// table, or (without one) a command of the user's own.
struct SetupStep {
    std::string what; // for messages: "--gate 0.1"
    const counter::InstrumentCommand* command = nullptr;
    std::string ownCommand;
};

// What a recording does, from connect to stop.
struct SessionPlan {
    std::string port; // a COM name; empty: every port is tried
    bool autoIdentify = true;
    // Sent in order after the connect and again after each reconnect, each once the one before
    // was answered (sent again, up to Session::kStepTries in all, where line noise came instead
    // of its reply); then `start`, whose reply nobody waits for. Readings count once they are
    // through (at once without either).
    std::vector<SetupStep> setup;
    const counter::InstrumentCommand* start = nullptr;
    // Where the journal goes: a new file in the session's journal folder, the file
    // `journalPath`, or nowhere.
    enum class Journal { InFolder, AtPath, None };
    Journal journal = Journal::InFolder;
    std::string journalPath;
};

// One recording session, shared by the window and "talvek-cli record": it owns the instrument's
// driver, connects and identifies, sets the instrument up, keeps the journal, brings the device
// back after it was unplugged (by its identity), counts what the line lost, and hands every
// reading on with its time since the connect attempt, taken when its bytes arrived. A reconnect
// and telegrams the line lost are gaps: each is written to the journal and told (gapFound) before
// the first reading after it.
class Session : public QObject {
    Q_OBJECT
public:
    static constexpr int kReplyTimeoutMs = 5000;
    // How often a set-up step is sent when line noise came instead of its reply.
    static constexpr int kStepTries = 3;
    using Clock = std::function<std::int64_t()>;

    // `clock`: monotonic milliseconds (the system's when empty); it stamps telegrams on the
    // receive thread and times the gaps, so it must never go back.
    Session(const counter::Instrument& instrument, JournalFolder journalFolder,
            QObject* parent = nullptr, Clock clock = {});
    ~Session() override;

    counter::Driver& driver() { return driver_; }
    const counter::Driver& driver() const { return driver_; }
    RecordingJournal& journal() { return journal_; }
    const RecordingJournal& journal() const { return journal_; }
    const counter::Instrument& instrument() const { return driver_.instrument(); }
    // Takes effect at the next start.
    void setInstrument(const counter::Instrument& instrument);

    // A connect attempt: a new start time, a new journal, and the driver connects.
    void start(SessionPlan plan);
    // Ends the session: a measurement the set-up started is stopped, the instrument
    // disconnected, the disconnect written and the journal closed (it stays until discarded).
    // True when the journal reached the disk whole.
    bool stop();

    // The wall-clock date-time (days since 1899-12-30) of the last start; 0 before the first.
    double startTime() const { return startTime_; }
    // Milliseconds since the last start, on the session's clock.
    double elapsedMs() const;
    // The set-up is through: readings are taken.
    bool recording() const { return recording_; }
    // The device went away and is waited for.
    bool awaitingDevice() const;
    // Telegrams the line lost since the last start.
    std::uint64_t lostTelegrams() const { return lostTelegrams_; }

signals:
    void connectFinished(bool connected);
    // The first time the set-up is through.
    void setupFinished();
    // A set-up step could not be sent, was not answered or was refused: why, for the user.
    void setupFailed(const std::string& why);
    // `timeMs`: whole milliseconds from the connect attempt to the arrival of its bytes.
    void readingReceived(const counter::Reading& reading, double timeMs);
    void statusReceived(const std::string& telegram, double timeMs);
    void deviceLost();
    void reconnected(const std::string& port, std::int64_t lostMs);
    void telegramsLost(std::uint64_t count);
    // A stretch without readings (gap.h), now in the journal. A loss of telegrams is told once
    // the first reading after it came (or at the stop), a reconnect when the device is back.
    void gapFound(const recording::Gap& gap);
    // The journal cannot be written: why. The session goes on without it.
    void journalStopped(const std::string& reason);

private:
    double sinceStart(std::int64_t arrivalMs) const;
    void finishConnect(bool connected);
    void sendNextStep();
    void sendStep();
    void finishStep(bool answered);
    void startMeasuring();
    void takeReading(const counter::Reading& reading);
    void takeStatus(const std::string& telegram, std::int64_t arrivalMs);
    void loseDevice();
    void resume(const std::string& port, std::int64_t lostMs);
    void noteLoss(std::uint64_t count);
    // The telegrams lost since the last reading, as a gap up to `endMs`.
    void closeLoss(double endMs);
    void recordGap(const Gap& gap);

    Clock clock_;
    counter::Driver driver_;
    Reconnector* reconnector_;
    RecordingJournal journal_;
    QTimer replyDeadline_;
    SessionPlan plan_;
    double startTime_ = 0;
    std::int64_t startMs_ = 0;
    std::size_t nextStep_ = 0;
    int stepTries_ = 0;
    std::uint64_t noiseBeforeStep_ = 0;
    bool stepPending_ = false;
    bool recording_ = false;
    bool running_ = false; // between start and stop
    std::uint64_t lostTelegrams_ = 0;
    std::optional<double> lastReadingMs_;
    std::uint64_t pendingLoss_ = 0; // telegrams lost since the last reading
    double lossStartMs_ = 0;
};

} // namespace recording
