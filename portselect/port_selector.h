// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/port_info.h"
#include "portselect/port_entry.h"

#include <QComboBox>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace portselect {

// A drop-down list of the machine's serial ports with their kind, friendly name and Bluetooth
// device name. Its context menu chooses the columns, filters the ports by kind and refreshes. The
// hint names the chosen port's device, its device node and its kind as talvek-cli ports does.
class PortSelector : public QComboBox {
    Q_OBJECT
public:
    using PortSource = std::function<std::vector<platform::PortInfo>()>;

    // Without a source the control lists the ports of the system catalog installed at the time
    // of each refresh.
    explicit PortSelector(QWidget* owner = nullptr, PortSource source = {});

    const std::string& port() const { return port_; }
    void setPort(const std::string& port);
    std::uint8_t filterShow() const { return filterShow_; }
    void setFilterShow(std::uint8_t mask);
    std::uint8_t filterType() const { return filterType_; }
    void setFilterType(std::uint8_t mask);

    PortEntries allPorts;
    PortEntries shownPorts; // list item i is shownPorts[i]

    void refreshPorts();
    void fillList();

    QMenu* popupMenu() const { return popupMenu_; }

signals:
    // The user picked an item; Port and the hint show it already.
    void portChanged();

private:
    void buildPopupMenu();
    void applyMenu();
    void setAllChecked(bool columns, bool checked);
    void handleItemPicked(int index);
    std::string entryText(const PortEntry& port) const;
    void showHint(const PortEntry& port);

    PortSource source_;
    std::string port_;
    std::uint8_t filterShow_ = 255;
    std::uint8_t filterType_ = 255;
    QMenu* popupMenu_ = nullptr;
    std::array<QAction*, 4> columnItems_{};
    std::array<QAction*, 5> kindItems_{};
};

} // namespace portselect
