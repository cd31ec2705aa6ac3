// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/formats/settings_place.h"
#include "recording/influx_feed.h"
#include "recording/session.h"

#include <QLabel>
#include <QStatusBar>
#include <filesystem>

namespace app {

void MainWindow::editDatabase() {
    const auto choice = dialogs_->editDatabase(database_);
    if (!choice) {
        return;
    }
    const std::string fileName = databaseFileName(settingsPlace(settingsFolder_).writeFile);
    std::error_code ignored; // a folder that cannot be made shows as the file's write error
    std::filesystem::create_directories(std::filesystem::path(fileName).parent_path(), ignored);
    if (const std::string error = writeDatabaseFile(fileName, *choice); !error.empty()) {
        showError(error);
    }
    useDatabase(*choice);
}

// A feed follows the session from its next connect on; the one before is dropped with what it
// did not send, which stays in its journal.
void MainWindow::useDatabase(const DatabaseChoice& choice) {
    database_ = choice;
    influx_.reset();
    if (choice.settings.url.empty()) {
        return;
    }
    std::string error;
    recording::InfluxSettings settings = choice.settings;
    if (!choice.tokenFile.empty()) {
        settings.token = recording::readInfluxToken(choice.tokenFile, error).value_or("");
    }
    const auto target = error.empty() ? recording::influxTarget(settings, error) : std::nullopt;
    if (!target) {
        showMessage("Time-series database: " + error);
        return;
    }
    if (!databaseNotice_) {
        databaseNotice_ = new QLabel(statusBar_);
        statusBar_->addPermanentWidget(databaseNotice_);
    }
    databaseNotice_->clear();
    influx_ = std::make_unique<recording::InfluxFeed>(*session_, *target, settings.tags);
    const std::string url = target->shownUrl;
    connect(influx_.get(), &recording::InfluxFeed::failing, this,
            [this, url](const std::string& why) {
                databaseNotice_->setText(QString::fromUtf8("The database at " + url +
                                                           " does not take the readings (" + why +
                                                           "); they wait in the journal."));
            });
    connect(influx_.get(), &recording::InfluxFeed::recovered, this, [this, url] {
        databaseNotice_->clear();
        showMessage("The database at " + url + " takes the readings again.");
    });
}

std::string MainWindow::databaseNotice() const {
    return databaseNotice_ ? databaseNotice_->text().toUtf8().toStdString() : std::string();
}

} // namespace app
