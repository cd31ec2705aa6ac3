// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/recording_journal.h"

#include "counter/journal_writer.h"
#include "counter/reading.h"

namespace app {

RecordingJournal::RecordingJournal(JournalFolder folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)) {}

// The file stays: a window that goes without a clean close leaves its journal for the next run.
RecordingJournal::~RecordingJournal() {
    closeWriter();
}

void RecordingJournal::start(double startTime, const std::string& port) {
    discard();
    const int generation = ++generation_;
    JournalFolder::Created created = folder_.create();
    if (!created.journal.held()) {
        report(generation, created.error);
        return;
    }
    file_ = std::move(created.journal);
    // The writer reports from its own thread; the report is shown on the window's.
    writer_ = std::make_unique<counter::JournalWriter>(
        file_.path(), counter::JournalHeader{startTime, port},
        [this, generation](const std::string& message) {
            QMetaObject::invokeMethod(
                this, [this, generation, message] { report(generation, message); },
                Qt::QueuedConnection);
        });
}

void RecordingJournal::addReading(double timeMs, const counter::Reading& reading) {
    if (writer_) {
        writer_->appendReading(timeMs, reading.value, reading.unitText, reading.telegram);
    }
}

void RecordingJournal::addStatus(double timeMs, const std::string& telegram) {
    if (writer_) {
        writer_->appendStatus(timeMs, telegram);
    }
}

void RecordingJournal::finish(double timeMs) {
    if (writer_) {
        writer_->appendDisconnect(timeMs);
        closeWriter();
    }
}

void RecordingJournal::adopt(HeldJournal recovered) {
    discard();
    ++generation_;
    file_ = std::move(recovered);
}

void RecordingJournal::discard() {
    closeWriter();
    file_.remove();
}

void RecordingJournal::closeWriter() {
    if (writer_) {
        writer_->close();
        writer_.reset();
    }
}

void RecordingJournal::report(int generation, const std::string& reason) {
    if (generation == generation_) {
        emit stopped(QString::fromUtf8(journalStoppedNotice(reason)));
    }
}

std::string journalStoppedNotice(const std::string& reason) {
    std::string why = reason;
    while (!why.empty() && (why.back() == '.' || why.back() == ' ')) {
        why.pop_back();
    }
    if (!why.empty() && why[0] >= 'A' && why[0] <= 'Z') {
        why[0] = static_cast<char>(why[0] - 'A' + 'a');
    }
    return "Recording journal stopped: " + why + ". The measurement goes on in memory.";
}

} // namespace app
