#pragma once

#include "platform/port_info.h"
#include "portselect/com_port.h"

#include <QComboBox>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

// A drop-down list of the machine's serial ports with their kind, friendly name and Bluetooth
// device name. Its context menu chooses the columns, filters the ports by kind and refreshes. The
// hint names the chosen port's device and its device node.
class TComPortComboBox : public QComboBox {
    Q_OBJECT
public:
    using PortSource = std::function<std::vector<platform::PortInfo>()>;

    // Without a source the control lists the ports of the system catalog installed at the time
    // of each refresh.
    explicit TComPortComboBox(QWidget* owner = nullptr, PortSource source = {});

    const std::string& Port() const { return port_; }
    void SetPort(const std::string& port);
    std::uint8_t FilterShow() const { return filterShow_; }
    void SetFilterShow(std::uint8_t mask);
    std::uint8_t FilterType() const { return filterType_; }
    void SetFilterType(std::uint8_t mask);

    TCOMS AllPorts;
    TCOMS ShownPorts; // list item i is ShownPorts[i]

    void RefreshPorts();
    void FillList();

    QMenu* PopupMenu() const { return popupMenu_; }

signals:
    // The user picked an item; Port and the hint show it already.
    void portChanged();

private:
    void BuildPopupMenu();
    void ApplyMenu();
    void SetAllChecked(bool columns, bool checked);
    void ComboChange(int index);
    std::string ItemText(const TCOM& port) const;
    void ShowHint(const TCOM& port);

    PortSource source_;
    std::string port_;
    std::uint8_t filterShow_ = 255;
    std::uint8_t filterType_ = 255;
    QMenu* popupMenu_ = nullptr;
    std::array<QAction*, 4> columnItems_{};
    std::array<QAction*, 5> kindItems_{};
};
