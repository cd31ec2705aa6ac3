// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/recording_journal.h"

#include "counter/reading.h"
#include "recording/journal_writer.h"

#include <fcntl.h>

namespace recording {

RecordingJournal::RecordingJournal(JournalFolder folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)) {}

// The file stays: a program that goes without a clean end leaves its journal for the next run.
RecordingJournal::~RecordingJournal() {
    closeWriter();
}

void RecordingJournal::start(const JournalHeader& header) {
    discard();
    JournalFolder::Created created = folder_.create();
    if (!created.journal.held()) {
        report(++generation_, created.error);
        return;
    }
    file_ = std::move(created.journal);
    startWriter(header);
}

void RecordingJournal::startAt(const std::string& path, const JournalHeader& header) {
    discard();
    std::string error;
    file_ = createJournalAt(path, error);
    if (!file_.held()) {
        report(++generation_, error);
        return;
    }
    startWriter(header);
}

std::uint64_t RecordingJournal::readingsWritten() const {
    return writer_ ? writer_->readingsWritten() : readingsWritten_;
}

void RecordingJournal::startWriter(const JournalHeader& header) {
    const int generation = ++generation_;
    // The writer reports from its own thread; the report is told on this object's.
    // The writer writes through a copy of the held file's descriptor, never through its name.
    writer_ = std::make_unique<JournalWriter>(
        platform::UniqueFd(::fcntl(file_.fd(), F_DUPFD_CLOEXEC, 0)), file_.path(), header,
        [this, generation](const std::string& message) {
            QMetaObject::invokeMethod(
                this, [this, generation, message] { report(generation, message); },
                Qt::QueuedConnection);
        });
}

void RecordingJournal::addReading(double timeMs, const counter::Reading& reading) {
    if (!writer_) {
        return;
    }
    if (reading.quantity == counter::Quantity::Phase) {
        writer_->appendPhaseReading(timeMs, reading.value, reading.telegram);
    } else {
        writer_->appendReading(timeMs, reading.value, reading.unitText, reading.telegram);
    }
}

void RecordingJournal::addStatus(double timeMs, const std::string& telegram) {
    if (writer_) {
        writer_->appendStatus(timeMs, telegram);
    }
}

void RecordingJournal::addGap(const Gap& gap) {
    if (writer_) {
        writer_->appendGap(gap);
    }
}

bool RecordingJournal::finish(double timeMs) {
    if (!writer_) {
        return false;
    }
    writer_->appendDisconnect(timeMs);
    return closeWriter();
}

void RecordingJournal::adopt(HeldJournal recovered) {
    discard();
    ++generation_;
    file_ = std::move(recovered);
}

void RecordingJournal::discard() {
    closeWriter();
    file_.remove();
    readingsWritten_ = 0;
}

bool RecordingJournal::closeWriter() {
    if (!writer_) {
        return false;
    }
    const bool complete = writer_->close();
    readingsWritten_ = writer_->readingsWritten();
    writer_.reset();
    return complete;
}

void RecordingJournal::report(int generation, const std::string& reason) {
    if (generation == generation_) {
        emit stopped(reason);
    }
}

} // namespace recording
