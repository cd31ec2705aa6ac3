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

void MainWindow::readSettings() {
    TSettings settings = this->settings();
    const std::string error = ReadSettings(SettingsFileName(settingsFolder_), settings);
    applySettings(settings);
    if (!error.empty()) {
        showError(error);
    }
}

void MainWindow::applySettings(const TSettings& settings) {
    savedPort_ = settings.SavedPort;
    graphPage_->setUnits({settings.TimeDivisor, settings.FrequencyDivisor});
    move(settings.Left, settings.Top);
    resize(settings.Width, settings.Height); // the smallest size bounds it
    connectPage_->setPortFilters({settings.FilterShow, settings.FilterType});
}

TSettings MainWindow::settings() const {
    const AxisUnits units = graphPage_->units();
    const PortFilters filters = connectPage_->portFilters();
    return TSettings{savedPort_, units.timeDivisor, units.frequencyDivisor, x(),         y(),
                     width(),    height(),          filters.show,           filters.type};
}

void MainWindow::writeSettings() {
    const std::string error = WriteSettings(SettingsFileName(settingsFolder_), settings());
    if (!error.empty()) {
        showError(error);
    }
}

void MainWindow::saveData() {
    const auto fileName = dialogs_->ExecuteSaveDialog(kSaveFilter, kSaveDefaultExt);
    if (!fileName) {
        return;
    }
    const std::string error = SaveData(*fileName, FileExtension(*fileName), *log_, startTime_);
    if (!error.empty()) {
        showError(error);
    }
}

void MainWindow::saveLastMeasurement() {
    const std::string error = SaveData(LastMeasurementFile, ".dat", *log_, startTime_);
    if (!error.empty()) {
        showError(error);
    }
}

} // namespace app
