// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/journal_files.h"
#include "recording/journal_format.h"

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

namespace counter {
struct Reading;
}

namespace recording {

class JournalWriter;

// The journal of a recording session. From the connect attempt on, every reading, status
// telegram and gap goes to a file, written and synced beside the caller (recording::JournalWriter),
// so that a crash or power cut loses at most the last second. The file lasts until it is replaced
// or discarded; whoever leaves it behind leaves it for recovery.
class RecordingJournal : public QObject {
    Q_OBJECT
public:
    // `folder`: where start() makes its files; an empty path for a journal only ever started at
    // a file of the caller's choice.
    explicit RecordingJournal(JournalFolder folder, QObject* parent = nullptr);
    ~RecordingJournal() override;

    const JournalFolder& folder() const { return folder_; }
    // The file of the journal; empty when there is none.
    std::string path() const { return file_.path(); }

    // Readings of this journal that reached the disk; after it stopped, all it holds.
    std::uint64_t readingsWritten() const;

    // A connect attempt: a new journal in the folder replaces the one before.
    void start(const JournalHeader& header);
    // The same at `path`, which must not exist yet.
    void startAt(const std::string& path, const JournalHeader& header);
    void addReading(double timeMs, const counter::Reading& reading);
    void addStatus(double timeMs, const std::string& telegram);
    void addGap(const Gap& gap);
    // The connection ended: the disconnect is written, the file closed and synced. The file
    // stays, held, until it is replaced or discarded. True when every record reached the disk.
    bool finish(double timeMs);
    // A recovered journal's readings are shown now: that file replaces this one.
    void adopt(HeldJournal recovered);
    // The journal is no longer needed: the file is deleted.
    void discard();

signals:
    // Once per journal, when it cannot be written (or not be made): why, a sentence or a
    // writer's message.
    void stopped(const std::string& reason);

private:
    void startWriter(const JournalHeader& header);
    bool closeWriter();
    void report(int generation, const std::string& reason);

    JournalFolder folder_;
    HeldJournal file_;
    std::unique_ptr<JournalWriter> writer_;
    int generation_ = 0; // tells a late report of a replaced journal from one of this journal
    std::uint64_t readingsWritten_ = 0; // by the writer, once it is closed
};

} // namespace recording
