// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/recording/journal_files.h"

#include <QObject>
#include <QString>
#include <memory>
#include <string>

namespace counter {
class JournalWriter;
struct Reading;
} // namespace counter

namespace app {

// The journal of the measurement the window shows. From the connect attempt on, every reading and
// status telegram goes to a file in the journal folder, written and synced beside the window
// (counter::JournalWriter), so that a crash or power cut loses at most the last second. The file
// lasts as long as the window shows its readings: the next connect attempt or opened file
// replaces it, a clean close deletes it.
class RecordingJournal : public QObject {
    Q_OBJECT
public:
    explicit RecordingJournal(JournalFolder folder, QObject* parent = nullptr);
    ~RecordingJournal() override;

    const JournalFolder& folder() const { return folder_; }
    // The file of the journal; empty when there is none.
    std::string path() const { return file_.path(); }

    // A connect attempt: a new journal replaces the one before.
    void start(double startTime, const std::string& port);
    void addReading(double timeMs, const counter::Reading& reading);
    void addStatus(double timeMs, const std::string& telegram);
    // The connection ended: the disconnect is written, the file closed and synced. The file
    // stays, held, until it is replaced or discarded.
    void finish(double timeMs);
    // The window now shows the readings of a recovered journal: that file replaces this one.
    void adopt(HeldJournal recovered);
    // The window no longer needs the journal: the file is deleted.
    void discard();

signals:
    // Once per journal, when it cannot be written (or not be made): the text for the user.
    void stopped(const QString& notice);

private:
    void closeWriter();
    void report(int generation, const std::string& reason);

    JournalFolder folder_;
    HeldJournal file_;
    std::unique_ptr<counter::JournalWriter> writer_;
    int generation_ = 0; // tells a late report of a replaced journal from one of this journal
};

// The status bar's text when the journal stops for `reason` (a writer's message or a sentence).
std::string journalStoppedNotice(const std::string& reason);

} // namespace app
