// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/connect_page.h"
#include "app/formats/data_export.h"
#include "app/formats/instrument_file.h"
#include "app/formats/settings_file.h"
#include "app/formats/settings_place.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/window_placement.h"
#include "platform/private_files.h"
#include "recording/session.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <filesystem>

namespace app {
namespace {

constexpr char kSaveFilter[] =
    "data file (*.dat)|*.dat|csv file (*.csv)|*.csv|Timestamped CSV (*.csv)|*.csv";
constexpr std::size_t kTimestampedFilter = 2;
constexpr char kSaveDefaultExt[] = "*.dat";
constexpr int kFarPixels = 1 << 20;

} // namespace

void MainWindow::loadSettings() {
    Settings settings = this->settings();
    const std::string readFile = settingsPlace(settingsFolder_).readFile;
    const std::string error = readSettings(readFile, settings);
    applySettings(settings);
    const counter::Instrument& instrument = readInstrumentFile(instrumentFileName(readFile));
    connectPage_->chooseInstrument(instrument);
    useInstrument(instrument);
    useDatabase(readDatabaseFile(databaseFileName(readFile)));
    if (!error.empty()) {
        showError(error);
    }
}

void MainWindow::applySettings(const Settings& settings) {
    savedPort_ = settings.savedPort;
    graphPage_->setUnits({settings.timeDivisor, settings.frequencyDivisor});
    // The smallest size bounds it from below, the screen from above; a damaged file's numbers
    // are first brought into a range where edges do not overflow.
    const auto near = [](int value, int least) { return std::clamp(value, least, kFarPixels); };
    const QRect wanted(near(settings.left, -kFarPixels), near(settings.top, -kFarPixels),
                       near(settings.width, minimumWidth()),
                       near(settings.height, minimumHeight()));
    const QScreen* screen = QGuiApplication::screenAt(wanted.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect placed = screen ? placeOnScreen(wanted, screen->availableGeometry()) : wanted;
    move(placed.topLeft());
    resize(placed.size());
    connectPage_->setPortFilters({settings.filterShow, settings.filterType});
}

Settings MainWindow::settings() const {
    const AxisUnits units = graphPage_->units();
    const PortFilters filters = connectPage_->portFilters();
    return Settings{savedPort_, units.timeDivisor, units.frequencyDivisor, x(),         y(),
                    width(),    height(),          filters.show,           filters.type};
}

void MainWindow::storeSettings() {
    const std::string fileName = settingsPlace(settingsFolder_).writeFile;
    // A folder that cannot be made shows as the file's write error.
    platform::makeMissingFolders(std::filesystem::path(fileName).parent_path().string());
    std::string error = writeSettings(fileName, settings());
    if (error.empty()) {
        error = writeInstrumentFile(instrumentFileName(fileName), connectPage_->instrument());
    }
    if (!error.empty()) {
        showError(error);
    }
}

void MainWindow::saveThroughDialog() {
    const auto choice = dialogs_->executeSaveDialog(kSaveFilter, kSaveDefaultExt);
    if (!choice) {
        return;
    }
    const std::string& fileName = choice->fileName;
    const std::string extension = fileExtension(fileName);
    const std::string error = choice->filter == kTimestampedFilter && extension == ".csv"
                                  ? saveTimestampedData(fileName, *log_, startTime_)
                                  : saveData(fileName, extension, *log_, startTime_);
    if (!error.empty()) {
        showError(error);
    }
}

bool MainWindow::saveLastMeasurement() {
    const std::string error = saveData(kLastMeasurementFile, ".dat", *log_, startTime_);
    if (!error.empty()) {
        showError(error);
    }
    return error.empty();
}

} // namespace app
