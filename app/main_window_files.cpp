#include "app/main_window.h"

#include "app/connect_page.h"
#include "app/formats/data_export.h"
#include "app/formats/settings_file.h"
#include "app/graph_page.h"
#include "app/log_model.h"

namespace app {
namespace {

constexpr char kSaveFilter[] = "data file (*.dat)|*.dat|csv file (*.csv)|*.csv";
constexpr char kSaveDefaultExt[] = "*.dat";

} // namespace

void MainWindow::loadSettings() {
    Settings settings = this->settings();
    const std::string error = readSettings(settingsFileName(settingsFolder_), settings);
    applySettings(settings);
    if (!error.empty()) {
        showError(error);
    }
}

void MainWindow::applySettings(const Settings& settings) {
    savedPort_ = settings.savedPort;
    graphPage_->setUnits({settings.timeDivisor, settings.frequencyDivisor});
    move(settings.left, settings.top);
    resize(settings.width, settings.height); // the smallest size bounds it
    connectPage_->setPortFilters({settings.filterShow, settings.filterType});
}

Settings MainWindow::settings() const {
    const AxisUnits units = graphPage_->units();
    const PortFilters filters = connectPage_->portFilters();
    return Settings{savedPort_, units.timeDivisor, units.frequencyDivisor, x(),         y(),
                    width(),    height(),          filters.show,           filters.type};
}

void MainWindow::storeSettings() {
    const std::string error = writeSettings(settingsFileName(settingsFolder_), settings());
    if (!error.empty()) {
        showError(error);
    }
}

void MainWindow::saveThroughDialog() {
    const auto fileName = dialogs_->executeSaveDialog(kSaveFilter, kSaveDefaultExt);
    if (!fileName) {
        return;
    }
    const std::string error = saveData(*fileName, fileExtension(*fileName), *log_, startTime_);
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
