// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/display_page.h"
#include "app/dynamic_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/run_list.h"
#include "app/stability_page.h"
#include "counter/driver.h"
#include "recording/date_text.h"
#include "recording/measurement_loading.h"
#include "recording/session.h"

#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>

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

std::string phaseQuestion(const std::string& name) {
    return "Are the readings of " + name +
           " phase, a time error in seconds? (No: frequencies in Hz.)";
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
// recover is deleted; one this program cannot read stays as it is. Each is read off the main
// thread, one after the other; a connect or an opened file meanwhile leaves the rest for the next
// start.
void MainWindow::offerRecovery() {
    leftovers_ = session_->journal().folder().takeLeftovers();
    std::reverse(leftovers_.begin(), leftovers_.end());
    recoverNext();
}

void MainWindow::recoverNext() {
    if (leftovers_.empty()) {
        session_->journal().folder().removeOldSetAside(kSetAsideJournalsKept);
        return;
    }
    startLoading(leftovers_.back().path(), MeasurementLoader::Kind::Journal,
                 [this](PreparedMeasurement prepared) { offerLeftover(std::move(prepared)); });
}

void MainWindow::offerLeftover(PreparedMeasurement prepared) {
    recording::RecordingJournal& journal = session_->journal();
    recording::HeldJournal leftover = std::move(leftovers_.back());
    leftovers_.pop_back();
    const recording::LoadedMeasurement& loaded = prepared.loaded;
    const recording::JournalFileState state = *loaded.journalState;
    if (state != recording::JournalFileState::Good &&
        state != recording::JournalFileState::HeaderDamaged) {
        if (state == recording::JournalFileState::Empty) {
            leftover.remove();
        }
    } else if (loaded.readings->empty()) {
        leftover.remove();
    } else if (dialogs_->askYesNo(recoveryQuestion(loaded))) {
        const std::string outcome = "Recovered " + readingsCount(loaded.readings->size()) + '.';
        showMeasurement(std::move(prepared), shownFileName(leftover.path()), outcome);
        journal.adopt(std::move(leftover));
        leftovers_.clear();
    } else {
        journal.folder().setAside(leftover, loaded.startTime);
    }
    recoverNext();
}

// A file that holds no reading leaves the window as it is. One opened while a measurement shows,
// live or not, is held beside it as another run.
void MainWindow::openThroughDialog() {
    const auto fileName = dialogs_->executeOpenDialog(kOpenFilter);
    if (!fileName) {
        return;
    }
    if (!session_->driver().isConnected()) {
        leftovers_.clear();
    }
    const std::string name = shownFileName(*fileName);
    startLoading(
        *fileName, MeasurementLoader::Kind::AnyMeasurement,
        [this, name](PreparedMeasurement prepared) {
            recording::LoadedMeasurement& loaded = prepared.loaded;
            if (loaded.readings->empty()) {
                showError(loaded.report.empty()
                              ? name + " holds no readings."
                              : "No readings opened from " + name + ". " + loaded.report);
                return;
            }
            // Another program's text does not say what its numbers measure.
            if (loaded.plainText && dialogs_->askYesNo(phaseQuestion(name))) {
                loaded.readings->setQuantity(analysis::Quantity::Phase);
                loaded.quantity = counter::Quantity::Phase;
            }
            const std::string outcome =
                "Opened " + name + ": " + readingsCount(loaded.readings->size()) + '.';
            if (session_->driver().isConnected() || !readings_->empty()) {
                runs_->add({name, loaded.readings, loaded.quantity, loaded.startTime.value_or(0)});
                showMessage(loaded.report.empty() ? outcome : outcome + ' ' + loaded.report);
                return;
            }
            session_->journal().discard();
            showMeasurement(std::move(prepared), name, outcome);
        });
    showMessage("Opening " + name + " ...");
}

// The progress bar shows until the measurement is read; the window answers meanwhile.
void MainWindow::startLoading(const std::string& path, MeasurementLoader::Kind kind,
                              MeasurementLoader::Finished finished) {
    loader_->start(path, kind, [this, finished = std::move(finished)](PreparedMeasurement p) {
        stopLoading();
        finished(std::move(p));
    });
    loadProgress_->setValue(0);
    loadProgress_->show();
    loadWatch_->start();
}

void MainWindow::stopLoading() {
    loader_->cancel();
    loadWatch_->stop();
    loadProgress_->hide();
}

bool MainWindow::loadingMeasurement() const {
    return loader_->running();
}

// As if just measured: the log, the graph with its ruler, the stability, the display, and the start
// time that the .dat header tells (0, as before any connect, when the file holds none).
void MainWindow::showMeasurement(PreparedMeasurement measurement, const std::string& name,
                                 const std::string& outcome) {
    const recording::LoadedMeasurement& loaded = measurement.loaded;
    runs_->setShown({name, loaded.readings, loaded.quantity, loaded.startTime.value_or(0)});
    readings_ = loaded.readings;
    log_->show(readings_);
    startTime_ = loaded.startTime.value_or(0);
    graphPage_->showMeasurement(std::move(measurement.trace), loaded.quantity);
    stabilityPage_->follow(readings_);
    dynamicPage_->follow(readings_);
    if (loaded.lastReading) {
        displayPage_->showReading(*loaded.lastReading);
    }
    showMessage(loaded.report.empty() ? outcome : outcome + ' ' + loaded.report);
}

// The live run stays while it is live. Where the run shown goes, the next run takes its place in
// every page, or none is shown.
void MainWindow::closeRun(std::size_t index) {
    if (index >= runs_->runs().size()) {
        return;
    }
    if (index > 0) {
        runs_->remove(index);
        return;
    }
    if (runs_->runs().front().live && session_->driver().isConnected()) {
        showStatus("Disconnect before closing the live run.");
        return;
    }
    if (runs_->runs().front().live) {
        session_->journal().discard();
    }
    if (runs_->runs().size() > 1) {
        const Run& next = runs_->runs()[1];
        readings_ = next.readings;
        startTime_ = next.startTime;
        graphPage_->showStore(readings_, next.quantity);
    } else {
        readings_ = std::make_shared<recording::ReadingStore>();
        startTime_ = 0;
        graphPage_->showStore(readings_, counter::Quantity::Frequency);
    }
    log_->show(readings_);
    stabilityPage_->follow(readings_);
    dynamicPage_->follow(readings_);
    runs_->remove(0);
}

} // namespace app
