// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/display_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/recording/measurement_loading.h"
#include "app/recording/recording_journal.h"
#include "app/stability_page.h"
#include "counter/date_text.h"
#include "counter/kelvo_counter.h"

#include <QFile>
#include <QFileInfo>

namespace app {
namespace {

constexpr std::size_t kSetAsideJournalsKept = 10;
constexpr char kOpenFilter[] = "measurement (*.dat *.csv *.tvj)|*.dat;*.csv;*.tvj|all files (*)|*";

std::string readingsCount(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " reading" : " readings");
}

std::string recoveryQuestion(const LoadedMeasurement& measurement) {
    const std::string count = readingsCount(measurement.readings.size());
    if (!measurement.startTime) {
        return "Recover the unsaved measurement (" + count + ", start time unknown)?";
    }
    return "Recover the unsaved measurement of " + counter::dateTimeToStr(*measurement.startTime) +
           " (" + count + ")?";
}

std::string shownFileName(const std::string& fileName) {
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(fileName)))
        .fileName()
        .toUtf8()
        .toStdString();
}

} // namespace

// Each journal that a run left behind is offered, the most recent first, until the user takes
// one; those after it wait for the next start. One declined is kept aside; one with nothing to
// recover is deleted; one this program cannot read stays as it is.
void MainWindow::offerRecovery() {
    const JournalFolder& folder = recording_->folder();
    bool recovered = false;
    for (HeldJournal& leftover : folder.takeLeftovers()) {
        if (recovered) {
            continue;
        }
        const LoadedMeasurement loaded = loadJournal(leftover.path());
        const counter::JournalFileState state = *loaded.journalState;
        if (state != counter::JournalFileState::Good &&
            state != counter::JournalFileState::HeaderDamaged) {
            if (state == counter::JournalFileState::Empty) {
                leftover.remove();
            }
            continue;
        }
        if (loaded.readings.empty()) {
            leftover.remove();
        } else if (dialogs_->askYesNo(recoveryQuestion(loaded))) {
            showMeasurement(loaded, "Recovered " + readingsCount(loaded.readings.size()) + '.');
            recording_->adopt(std::move(leftover));
            recovered = true;
        } else {
            folder.setAside(leftover, loaded.startTime);
        }
    }
    folder.removeOldSetAside(kSetAsideJournalsKept);
}

// A file that holds no reading leaves the window as it is.
void MainWindow::openThroughDialog() {
    if (counter_->isConnected()) {
        showStatus("Disconnect before opening a measurement.");
        return;
    }
    const auto fileName = dialogs_->executeOpenDialog(kOpenFilter);
    if (!fileName) {
        return;
    }
    const LoadedMeasurement loaded = loadMeasurement(*fileName);
    const std::string name = shownFileName(*fileName);
    if (loaded.readings.empty()) {
        showError(loaded.report.empty() ? name + " holds no readings."
                                        : "No readings opened from " + name + ". " + loaded.report);
        return;
    }
    recording_->discard();
    showMeasurement(loaded, "Opened " + name + ": " + readingsCount(loaded.readings.size()) + '.');
}

// As if just measured: the log, the graph with its ruler, the stability, the display, and the start
// time that the .dat header tells (0, as before any connect, when the file holds none).
void MainWindow::showMeasurement(const LoadedMeasurement& measurement, const std::string& outcome) {
    log_->clear();
    log_->appendAll(measurement.readings);
    startTime_ = measurement.startTime.value_or(0);
    const bool periods = measurement.lastReading && measurement.lastReading->isPeriod;
    graphPage_->showMeasurement(measurement.readings, periods);
    stabilityPage_->showMeasurement(measurement.readings, periods);
    if (measurement.lastReading) {
        displayPage_->showReading(*measurement.lastReading);
    }
    showMessage(measurement.report.empty() ? outcome : outcome + ' ' + measurement.report);
}

} // namespace app
