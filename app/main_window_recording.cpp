// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/display_page.h"
#include "app/dynamic_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/stability_page.h"
#include "counter/driver.h"
#include "recording/date_text.h"
#include "recording/measurement_loading.h"
#include "recording/session.h"

#include <QFile>
#include <QFileInfo>

namespace app {
namespace {

constexpr std::size_t kSetAsideJournalsKept = 10;
constexpr char kOpenFilter[] = "measurement (*.dat *.csv *.tvj)|*.dat;*.csv;*.tvj|all files (*)|*";

std::string readingsCount(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " reading" : " readings");
}

std::string recoveryQuestion(const recording::LoadedMeasurement& measurement) {
    const std::string count = readingsCount(measurement.readings->size());
    if (!measurement.startTime) {
        return "Recover the unsaved measurement (" + count + ", start time unknown)?";
    }
    return "Recover the unsaved measurement of " +
           recording::dateTimeToStr(*measurement.startTime) + " (" + count + ")?";
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
    recording::RecordingJournal& journal = session_->journal();
    const recording::JournalFolder& folder = journal.folder();
    bool recovered = false;
    for (recording::HeldJournal& leftover : folder.takeLeftovers()) {
        if (recovered) {
            continue;
        }
        const recording::LoadedMeasurement loaded = recording::loadJournal(leftover.path());
        const recording::JournalFileState state = *loaded.journalState;
        if (state != recording::JournalFileState::Good &&
            state != recording::JournalFileState::HeaderDamaged) {
            if (state == recording::JournalFileState::Empty) {
                leftover.remove();
            }
            continue;
        }
        if (loaded.readings->empty()) {
            leftover.remove();
        } else if (dialogs_->askYesNo(recoveryQuestion(loaded))) {
            showMeasurement(loaded, "Recovered " + readingsCount(loaded.readings->size()) + '.');
            journal.adopt(std::move(leftover));
            recovered = true;
        } else {
            folder.setAside(leftover, loaded.startTime);
        }
    }
    folder.removeOldSetAside(kSetAsideJournalsKept);
}

// A file that holds no reading leaves the window as it is.
void MainWindow::openThroughDialog() {
    if (session_->driver().isConnected()) {
        showStatus("Disconnect before opening a measurement.");
        return;
    }
    const auto fileName = dialogs_->executeOpenDialog(kOpenFilter);
    if (!fileName) {
        return;
    }
    const recording::LoadedMeasurement loaded = recording::loadMeasurement(*fileName);
    const std::string name = shownFileName(*fileName);
    if (loaded.readings->empty()) {
        showError(loaded.report.empty() ? name + " holds no readings."
                                        : "No readings opened from " + name + ". " + loaded.report);
        return;
    }
    session_->journal().discard();
    showMeasurement(loaded, "Opened " + name + ": " + readingsCount(loaded.readings->size()) + '.');
}

// As if just measured: the log, the graph with its ruler, the stability, the display, and the start
// time that the .dat header tells (0, as before any connect, when the file holds none).
void MainWindow::showMeasurement(const recording::LoadedMeasurement& measurement,
                                 const std::string& outcome) {
    readings_ = measurement.readings;
    log_->show(readings_);
    startTime_ = measurement.startTime.value_or(0);
    graphPage_->showMeasurement(readings_, measurement.quantity);
    stabilityPage_->follow(readings_);
    dynamicPage_->follow(readings_);
    if (measurement.lastReading) {
        displayPage_->showReading(*measurement.lastReading);
    }
    showMessage(measurement.report.empty() ? outcome : outcome + ' ' + measurement.report);
}

} // namespace app
