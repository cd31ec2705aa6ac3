// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/dialogs.h"
#include "app/formats/database_file.h"
#include "app/measurement_loader.h"
#include "recording/journal_files.h"

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;
class QStatusBar;
class QTabWidget;
class QTimer;

namespace counter {
class Driver;
class Instrument;
struct Reading;
} // namespace counter

namespace graph {
class PlotView;
} // namespace graph

namespace recording {
class InfluxFeed;
class ReadingStore;
class ReadingTable;
struct Gap;
struct LoadedMeasurement;
class Session;
} // namespace recording

namespace app {

class CommandsPage;
class ConnectPage;
class DisplayPage;
class DynamicPage;
class GraphPage;
class StabilityPage;
class LogModel;
class RunList;
struct Settings;

// What the window takes from its surroundings; tests replace the parts they need to control.
struct WindowEnvironment {
    // Folder of "Zorvimet.ini"; the executable's folder when empty.
    std::string settingsFolder;
    // Folder of the recording journals; the per-user data folder when empty.
    std::string dataFolder;
    // The modal dialogs; the toolkit's own when null.
    std::shared_ptr<Dialogs> dialogs;
    // The clock that time-stamps readings, in milliseconds; must never go back. It is read on
    // the receive thread when a telegram's last byte arrives.
    std::function<std::int64_t()> monotonicMs;
};

// The main window: it assembles the "Connect", "Commands", "Display", "Graph", "Stability" and
// "Dynamic ADEV" pages and the status bar, shows what the recording session hands it, keeps the
// settings file and decides when the window may close.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(WindowEnvironment environment = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    static constexpr char kTitle[] = "TALVEK software V1.2 for KELVO frequency counter";

    QTabWidget* pages() const { return pages_; }
    ConnectPage& connectPage() const { return *connectPage_; }
    CommandsPage& commandsPage() const { return *commandsPage_; }
    DisplayPage& displayPage() const { return *displayPage_; }
    GraphPage& graphPage() const { return *graphPage_; }
    StabilityPage& stabilityPage() const { return *stabilityPage_; }
    DynamicPage& dynamicPage() const { return *dynamicPage_; }
    // The measurements held: the one shown first, then those opened beside it.
    RunList& runs() const { return *runs_; }
    recording::Session& session() const { return *session_; }
    // The driver of the session's instrument.
    counter::Driver& counter() const;
    const LogModel& log() const { return *log_; }
    // The readings of the measurement shown.
    std::shared_ptr<const recording::ReadingTable> readings() const;

    // The status bar's text, one byte per character.
    std::string statusText() const;
    // The status bar's lasting notice that the recording journal stopped (UTF-8); empty while
    // it records.
    std::string journalNotice() const;
    // The status bar's lasting notice that the time-series database does not take the readings
    // (UTF-8); empty while it does.
    std::string databaseNotice() const;
    // The status bar's lasting note of the telegrams lost since the connect attempt; empty when
    // none was lost.
    std::string lossText() const;
    // What the settings file would hold if the window closed now.
    Settings settings() const;
    // The wall-clock date-time (days) of the last connect attempt; 0 before the first.
    double startTime() const { return startTime_; }
    // Whether a measurement file or a journal to recover is being read.
    bool loadingMeasurement() const;
    // The progress bar of that reading, shown only meanwhile.
    const QProgressBar& loadProgress() const { return *loadProgress_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void assemblePages();
    void addShortcuts();
    void fitHiddenPages();
    void showStatus(const std::string& text);
    void showMessage(const std::string& utf8);
    void showError(const std::string& message);

    void connectOrDisconnect(bool connect);
    void finishConnect(bool connected);
    bool disconnectBeforeClose();
    void watchDevice();
    void showDeviceLost();
    void noteLostTelegrams();
    void addReading(const counter::Reading& reading, double timeMs);
    void addGap(const recording::Gap& gap);
    void useInstrument(const counter::Instrument& instrument);

    void offerRecovery();
    void recoverNext();
    void offerLeftover(PreparedMeasurement prepared);
    void openThroughDialog();
    void startLoading(const std::string& path, MeasurementLoader::Kind kind,
                      MeasurementLoader::Finished finished);
    void stopLoading();
    void showMeasurement(PreparedMeasurement measurement, const std::string& name,
                         const std::string& outcome);
    void closeRun(std::size_t index);
    void showRun();

    // The time-series database the readings also go to, from the next connect on.
    void editDatabase();
    void useDatabase(const DatabaseChoice& choice);

    // "Save picture..." in the popup menus of the Graph and Stability pages.
    void offerPictures();
    void savePicture(const std::vector<graph::PlotView*>& plots);

    void loadSettings();
    void applySettings(const Settings& settings);
    void storeSettings();
    void saveThroughDialog();
    bool saveLastMeasurement();

    std::string settingsFolder_;
    std::shared_ptr<Dialogs> dialogs_;
    recording::Session* session_;
    // The readings of the measurement shown, which every page reads.
    std::shared_ptr<recording::ReadingStore> readings_;
    LogModel* log_;
    RunList* runs_;
    QStatusBar* statusBar_;
    QLabel* journalNotice_;
    QLabel* lossNote_; // stays beside the status texts that each reading replaces
    QTabWidget* pages_;
    ConnectPage* connectPage_ = nullptr;
    CommandsPage* commandsPage_ = nullptr;
    DisplayPage* displayPage_ = nullptr;
    GraphPage* graphPage_ = nullptr;
    StabilityPage* stabilityPage_ = nullptr;
    DynamicPage* dynamicPage_ = nullptr;
    QTimer* deviceWatch_; // brings the lost-device message back while connected
    std::unique_ptr<MeasurementLoader> loader_;
    QProgressBar* loadProgress_;
    QTimer* loadWatch_;                             // moves the progress bar on
    std::vector<recording::HeldJournal> leftovers_; // still to offer, the next one last
    std::string savedPort_;
    double startTime_ = 0; // wall-clock date-time of the measurement shown
    DatabaseChoice database_;
    std::unique_ptr<recording::InfluxFeed> influx_;
    QLabel* databaseNotice_ = nullptr; // made with the first feed
};

} // namespace app
