// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/page.h"
#include "app/page_layout.h"

#include <string>

class QActionGroup;
class QCheckBox;
class QMenu;
class QPushButton;
namespace counter {
class Instrument;
}
namespace portselect {
class PortSelector;
}

namespace app {

class LogModel;
class LogView;

// The port selectors' masks of shown columns and port kinds.
struct PortFilters {
    int show = 255;
    int type = 255;
};

// The "Connect" page: the measurement log with its save menu, the connect button, the port
// selector with the choice of the instrument in its menu, and the (hidden) auto-identify box.
class ConnectPage : public Page {
    Q_OBJECT
public:
    explicit ConnectPage(LogModel* log, QWidget* parent = nullptr);

    LogView* logView() const { return logView_; }
    QPushButton* connectButton() const { return connectButton_; }
    portselect::PortSelector* portSelector() const { return portSelector_; }
    QCheckBox* autoIdentifyBox() const { return autoIdentifyBox_; }
    QMenu* logMenu() const { return logMenu_; }

    BottomRow bottomRow() const;

    // The port chosen in the selector; choosing one that is not listed leaves the selector's
    // own choice.
    std::string selectedPort() const;
    void choosePort(const std::string& port);
    PortFilters portFilters() const;
    void setPortFilters(const PortFilters& filters);
    bool autoIdentify() const;
    // The instrument checked in the selector's "Instrument" submenu.
    const counter::Instrument& instrument() const { return *instrument_; }
    void chooseInstrument(const counter::Instrument& instrument);

    // After a successful connect: the selector shows the port without choosing it, and the
    // button offers to disconnect.
    void showConnected(const std::string& port);
    // The button is up and offers to connect.
    void showDisconnected();
    // As a click on the connect button.
    void toggleConnection();

signals:
    // The user pressed (true) or released (false) the connect button.
    void connectRequested(bool connect);
    // The user picked a port in the selector.
    void portPicked(const std::string& port);
    // The user picked an instrument in the selector's menu.
    void instrumentPicked(const counter::Instrument& instrument);
    void saveRequested();
    void openRequested();
    void databaseRequested();

protected:
    void layOut() override;

private:
    void buildInstrumentMenu();
    void scrollToNewest();

    LogModel* log_;
    LogView* logView_;
    QPushButton* connectButton_;
    portselect::PortSelector* portSelector_;
    QCheckBox* autoIdentifyBox_;
    QMenu* logMenu_;
    QActionGroup* instrumentChoices_;
    const counter::Instrument* instrument_;
    bool scrollPending_ = false;
};

} // namespace app
