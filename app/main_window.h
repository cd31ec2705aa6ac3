#pragma once

#include "app/form_dialogs.h"
#include "app/log_model.h"

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QTableView;
class TComPortComboBox;
class TXYPlot;

namespace counter {
class KelvoCounter;
struct Reading;
} // namespace counter

namespace app {

class TKeyPreview;
struct TSettings;

// What the window takes from its surroundings; tests replace the parts they need to control.
struct TFormEnvironment {
    // Folder of "Zorvimet.ini"; the executable's folder when empty.
    std::string SettingsFolder;
    // The modal dialogs; the toolkit's own when null.
    std::shared_ptr<TFormDialogs> Dialogs;
    // The clock that time-stamps readings, in milliseconds; must never go back.
    std::function<std::int64_t()> MonotonicMs;
};

// The main window: the "Connect", "Commands", "Display" and "Graph" pages, the status bar, the
// popup menus and the counter driver.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(TFormEnvironment environment = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    static constexpr char Title[] = "TALVEK software V1.2 for KELVO frequency counter";

    // Fields.
    double StartTime = 0; // wall-clock date-time of the last connect attempt
    std::string SavedPort;
    double TimeDivisor = 1;
    double FrequencyDivisor = 1;

    // Controls.
    QStatusBar* SB = nullptr;
    QTabWidget* PageControl = nullptr;
    QWidget* TabMeasure = nullptr;
    QWidget* TabConsole = nullptr;
    QWidget* TabDisplay = nullptr;
    QWidget* TabGraph = nullptr;
    QTableView* LB = nullptr; // the measurement log, one line per row
    TLogModel* Log = nullptr; // the lines of LB
    QPushButton* BConnect = nullptr;
    TComPortComboBox* CCom = nullptr;
    QCheckBox* CheckAuto = nullptr;
    QListWidget* LBC = nullptr;
    QLabel* LC = nullptr;
    QLineEdit* EC = nullptr;
    QLabel* LFreq = nullptr;
    TXYPlot* XY = nullptr;
    counter::KelvoCounter* KELVO_Counter = nullptr;
    QMenu* PopupSave = nullptr;
    QMenu* PopupGraph = nullptr;
    QMenu* PopupDisplay = nullptr;
    QMenu* PopupCommands = nullptr;

    // The status bar's text.
    std::string StatusText() const;

    // Start-up, layout and shutdown.
    void FormCreate();
    void FormResize();
    bool FormCloseQuery();
    void FormClose();
    void ReadSettings();
    void WriteSettings();

    // Connection.
    void BConnectClick();
    void finishConnect(bool connected);
    void ConnectDisconnect1Click();
    void CComChange();

    // Readings and the graph's unit menu.
    void addReading(const counter::Reading& reading);
    void seconds1Click();
    void minutes1Click();
    void hours1Click();
    void Hz1Click();
    void kHz1Click();
    void MHz1Click();
    void GHz1Click();
    void Clear1Click();

    // Commands page.
    void single1Click();
    void continuous1Click();
    void stop1Click();
    void N1s1Click();
    void N01s1Click();
    void ON1Click();
    void OFF1Click();
    void Frequency1Click();
    void Period1Click();
    void Offset1Click();
    void LCDdump1Click();
    void Hertzvalue1Click();
    void ransmitIntervalvalue1Click();
    void BNCvalue1Click();
    void SMAvalue1Click();
    void Status1Click();
    void ESCCommandvalue1Click();
    void addReply(const std::string& telegram);
    void FormKeyPress(char key);

    // Export and graph output.
    void savedataClick();
    void unzoom1Click();
    void Save1Click();
    void Print1Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    QWidget* CreateConnectPage();
    QWidget* CreateCommandsPage();
    QWidget* CreateDisplayPage();
    QWidget* CreateGraphPage();
    void CreateMenus();
    void CreatePopupSave();
    void CreatePopupGraph();
    void CreatePopupDisplay();
    void CreatePopupCommands();
    void AttachPopup(QWidget* widget, QMenu* menu);

    void ApplySettings(const TSettings& settings);
    TSettings CurrentSettings() const;
    void ApplyTimeUnit(double divisor);
    void ApplyFrequencyUnit(double divisor);
    void ScrollLogToNewest();
    void SetStatus(const std::string& text);
    void SetCaption(const std::string& text);
    void ShowSelectedPort(const std::string& port);
    void RunCommand(const std::function<bool(counter::KelvoCounter&)>& command);
    void RunValueCommand(bool (counter::KelvoCounter::*command)(int));
    void ShowError(const std::string& message);
    void StartDeviceWatch();
    void showDeviceLost();

    std::string settingsFolder_;
    std::shared_ptr<TFormDialogs> dialogs_;
    std::function<std::int64_t()> monotonicMs_;
    std::int64_t startMs_ = 0; // monotonic moment of the last connect attempt
    bool scrollPending_ = false;
    QTimer* deviceWatch_ = nullptr; // brings the lost-device message back while connected
    TKeyPreview* keyPreview_ = nullptr;
};

} // namespace app
