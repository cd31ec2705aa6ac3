// SPDX-License-Identifier: GPL-3.0-or-later
#include "portselect/port_selector.h"

#include <QAction>
#include <QFontInfo>
#include <QMenu>

#include <gtest/gtest.h>

using platform::PortInfo;
using platform::PortKind;

namespace {

PortInfo port(const std::string& name, PortKind kind, const std::string& node,
              const std::string& friendlyName, const std::string& address = {},
              const std::string& remoteName = {}) {
    return {name, kind, node, friendlyName, address, remoteName, "name:" + node, {}};
}

// A machine with one port of every kind, listed out of order.
std::vector<PortInfo> Machine() {
    return {
        port("COM12", PortKind::Usb, "/dev/ttyUSB0", "FT232R USB UART"),
        port("COM3", PortKind::Serial, "/dev/ttyS0", "Serial port"),
        port("COM11", PortKind::Bluetooth, "/dev/rfcomm0", "Bluetooth serial link",
             "01:23:45:67:89:AB", "Sensor"),
        port("COM4", PortKind::BluetoothIncoming, "/dev/rfcomm1", "Bluetooth serial link"),
        port("COM20", PortKind::Virtual, "/dev/pts/3", "Virtual serial port"),
    };
}

std::vector<std::string> Items(const QComboBox& box) {
    std::vector<std::string> items;
    for (int i = 0; i < box.count(); ++i) {
        items.push_back(box.itemText(i).toStdString());
    }
    return items;
}

QMenu* subMenu(portselect::PortSelector& box, const char* title) {
    for (QAction* action : box.popupMenu()->actions()) {
        if (action->menu() && action->text() == QLatin1String(title)) {
            return action->menu();
        }
    }
    return nullptr;
}

QAction* item(QMenu* menu, const char* caption) {
    for (QAction* action : menu->actions()) {
        if (action->text() == QLatin1String(caption)) {
            return action;
        }
    }
    ADD_FAILURE() << "no menu item " << caption;
    return nullptr;
}

std::vector<bool> Checks(QMenu* menu, std::initializer_list<const char*> captions) {
    std::vector<bool> checks;
    for (const char* caption : captions) {
        checks.push_back(item(menu, caption)->isChecked());
    }
    return checks;
}

const std::initializer_list<const char*> kColumns = {"Port", "Port Type", "Friendly Port Name",
                                                     "Bluetooth Name"};
const std::initializer_list<const char*> kKinds = {"Generic", "USB", "Bluetooth", "Bluetooth-In",
                                                   "Com0Com"};

class ComPortComboBox : public ::testing::Test {
protected:
    std::vector<PortInfo> machine = Machine();
    portselect::PortSelector box{nullptr, [this] { return machine; }};
};

portselect::PortSelector::PortSource fixed(std::vector<PortInfo> ports) {
    return [ports] { return ports; };
}

} // namespace

TEST_F(ComPortComboBox, ListsEveryPortSortedWithAllColumns) {
    EXPECT_EQ(box.filterShow(), 255);
    EXPECT_EQ(box.filterType(), 255);
    EXPECT_EQ(Items(box), (std::vector<std::string>{
                              "COM3    generic    Serial port  ",
                              "COM4    Bluetooth  Bluetooth serial link  ",
                              "COM11   Bluetooth  Bluetooth serial link  Sensor",
                              "COM12   USB        FT232R USB UART  ",
                              "COM20   COM0COM    Virtual serial port  ",
                          }));
    // Port was empty: the first item is chosen, without a change notification.
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(box.port(), "COM3");
    EXPECT_EQ(box.toolTip().toStdString(), "Serial port (/dev/ttyS0), kind serial");
    EXPECT_EQ(box.shownPorts.size(), box.allPorts.size());
}

TEST_F(ComPortComboBox, PortIsMatchedWithoutRegardToLetterCase) {
    int changes = 0;
    QObject::connect(&box, &portselect::PortSelector::portChanged, [&] { ++changes; });
    box.setPort("com12");
    EXPECT_EQ(box.currentIndex(), 3);
    EXPECT_EQ(box.port(), "COM12");
    EXPECT_EQ(box.toolTip().toStdString(), "FT232R USB UART (/dev/ttyUSB0), kind usb");
    box.setPort("COM99");
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(box.port(), "COM3");
    EXPECT_EQ(changes, 0);
}

TEST_F(ComPortComboBox, PickingAnItemSetsPortAndHintThenNotifies) {
    int changes = 0;
    std::string portSeen;
    QObject::connect(&box, &portselect::PortSelector::portChanged, [&] {
        ++changes;
        portSeen = box.port();
    });
    box.setCurrentIndex(2);
    emit box.activated(2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(portSeen, "COM11");
    EXPECT_EQ(box.toolTip().toStdString(), "Bluetooth serial link (/dev/rfcomm0), kind bluetooth");
}

// The hint names the kind as talvek-cli ports prints it, beside the window's own kind texts.
TEST_F(ComPortComboBox, HintNamesTheKindAsTheCommandLineDoes) {
    machine.push_back(port("COM30", PortKind::Serial, "", "Serial port"));
    const struct {
        const char* port;
        const char* hint;
    } cases[] = {
        {"COM3", "Serial port (/dev/ttyS0), kind serial"},
        {"COM4", "Bluetooth serial link (/dev/rfcomm1), kind bluetooth-in"},
        {"COM11", "Bluetooth serial link (/dev/rfcomm0), kind bluetooth"},
        {"COM12", "FT232R USB UART (/dev/ttyUSB0), kind usb"},
        {"COM20", "Virtual serial port (/dev/pts/3), kind virtual"},
        {"COM30", "Serial port, kind serial"},
    };
    for (const auto& c : cases) {
        box.setPort(c.port);
        EXPECT_EQ(box.port(), c.port);
        EXPECT_EQ(box.toolTip().toStdString(), c.hint);
    }
}

TEST_F(ComPortComboBox, ChangeWithNoItemSelectedLeavesPortAndHintAlone) {
    box.setPort("COM12");
    emit box.activated(-1);
    EXPECT_EQ(box.port(), "COM12");
    EXPECT_EQ(box.toolTip().toStdString(), "FT232R USB UART (/dev/ttyUSB0), kind usb");
    EXPECT_FALSE(box.isEditable());
}

TEST_F(ComPortComboBox, FilterTypeListsOnlyThoseKindsAndSetsTheChecks) {
    box.setPort("COM3");
    box.setFilterType(2);
    ASSERT_EQ(box.shownPorts.size(), 1u);
    EXPECT_EQ(box.shownPorts[0].name, "COM12");
    EXPECT_EQ(box.port(), "COM12"); // the chosen port was filtered out
    EXPECT_EQ(Checks(subMenu(box, "Filter Ports"), kKinds),
              (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(box.allPorts.size(), 5u);

    box.setFilterType(8 | 16);
    EXPECT_EQ(Items(box).size(), 2u);
    EXPECT_EQ(box.shownPorts[0].name, "COM4");
    EXPECT_EQ(box.shownPorts[0].kind, portselect::kKindBluetoothIncoming);
    EXPECT_EQ(box.shownPorts[1].name, "COM20");
}

TEST_F(ComPortComboBox, FilterShowChoosesColumnsAndSetsTheChecks) {
    box.setFilterShow(1);
    EXPECT_EQ(box.itemText(0).toStdString(), "COM3    ");
    EXPECT_EQ(Checks(subMenu(box, "Display Properties"), kColumns),
              (std::vector<bool>{true, false, false, false}));
    box.setFilterShow(8);
    EXPECT_EQ(Items(box), (std::vector<std::string>{"", "", "Sensor", "", ""}));
    box.setFilterShow(2 | 4);
    EXPECT_EQ(box.itemText(3).toStdString(), "USB        FT232R USB UART  ");
    box.setFilterShow(0);
    EXPECT_EQ(Items(box), (std::vector<std::string>(5, "")));
    EXPECT_EQ(box.port(), "COM3");
}

TEST(ComPortComboBoxNames, LongNamesAreNotPaddedOrCut) {
    portselect::PortSelector box(nullptr,
                                 fixed({port("COM1234", PortKind::Serial, "/dev/ttyS1", "b"),
                                        port("COM123", PortKind::Serial, "/dev/ttyS0", "a")}));
    box.setFilterShow(1);
    EXPECT_EQ(Items(box), (std::vector<std::string>{"COM123  ", "COM1234  "}));
}

TEST(ComPortComboBoxNames, OneItemListSelectsIt) {
    portselect::PortSelector box(
        nullptr, fixed({port("COM7", PortKind::Usb, "/dev/ttyACM0", "USB serial adapter")}));
    box.setPort("COM1");
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(box.port(), "COM7");
    EXPECT_EQ(box.toolTip().toStdString(), "USB serial adapter (/dev/ttyACM0), kind usb");
}

TEST(ComPortComboBoxNames, TextsFromTheSystemAreUtf8) {
    portselect::PortSelector box(
        nullptr, fixed({port("COM5", PortKind::Usb, "/dev/ttyUSB0", "Z\xc3\xa4hler-Adapter"),
                        port("COM6", PortKind::Bluetooth, "/dev/rfcomm0", "Bluetooth serial link",
                             "01:23:45:67:89:AB",
                             "Messger\xc3\xa4t \xe2\x84\x96"
                             "1")}));
    EXPECT_EQ(box.itemText(0), QString::fromUtf8("COM5    USB        Zähler-Adapter  "));
    EXPECT_EQ(box.itemText(1),
              QString::fromUtf8("COM6    Bluetooth  Bluetooth serial link  Messgerät №1"));
    EXPECT_EQ(box.toolTip(), QString::fromUtf8("Zähler-Adapter (/dev/ttyUSB0), kind usb"));
}

TEST(ComPortComboBoxNames, EmptyMachineGivesEmptyListAndKeepsPort) {
    portselect::PortSelector box(nullptr, fixed({}));
    box.setPort("COM3");
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.port(), "COM3");
    EXPECT_TRUE(box.toolTip().isEmpty());
}

TEST_F(ComPortComboBox, NoneThenAllUnderFilterPorts) {
    box.setPort("COM11");
    QMenu* filter = subMenu(box, "Filter Ports");
    item(filter, "NONE")->trigger();
    EXPECT_EQ(box.count(), 0);
    EXPECT_TRUE(box.toolTip().isEmpty());
    EXPECT_EQ(box.port(), "COM11");
    EXPECT_EQ(box.filterType(), 0);
    EXPECT_EQ(Checks(filter, kKinds), (std::vector<bool>(5, false)));

    item(filter, "ALL")->trigger();
    EXPECT_EQ(box.count(), 5);
    EXPECT_EQ(box.currentIndex(), 2);
    EXPECT_EQ(box.port(), "COM11");
    EXPECT_EQ(box.filterType(), 31);
    EXPECT_EQ(Checks(filter, kKinds), (std::vector<bool>(5, true)));
    EXPECT_FALSE(item(filter, "ALL")->isChecked());
    EXPECT_FALSE(item(filter, "NONE")->isChecked());
}

TEST_F(ComPortComboBox, MenuClicksToggleAndApply) {
    QMenu* display = subMenu(box, "Display Properties");
    item(display, "Port Type")->trigger();
    EXPECT_EQ(box.filterShow(), 1 | 4 | 8);
    EXPECT_FALSE(item(display, "Port Type")->isChecked());
    EXPECT_EQ(box.itemText(0).toStdString(), "COM3    Serial port  ");
    item(display, "NONE")->trigger();
    EXPECT_EQ(box.filterShow(), 0);
    item(display, "ALL")->trigger();
    EXPECT_EQ(box.filterShow(), 15);
    item(subMenu(box, "Filter Ports"), "Bluetooth")->trigger();
    EXPECT_EQ(box.filterType(), 31 & ~4);
    EXPECT_EQ(box.count(), 4);
}

TEST_F(ComPortComboBox, RefreshTurns255Into15And31AndRediscovers) {
    machine.push_back(port("COM5", PortKind::Serial, "/dev/ttyS1", "Serial port"));
    item(box.popupMenu(), "Refresh")->trigger();
    EXPECT_EQ(box.filterShow(), 15);
    EXPECT_EQ(box.filterType(), 31);
    EXPECT_EQ(box.count(), 6);
    EXPECT_EQ(box.shownPorts[1].name, "COM4");
    EXPECT_EQ(box.shownPorts[2].name, "COM5");
}

TEST_F(ComPortComboBox, MenuCaptionsCarryNoAcceleratorsAndItemsUseFixedPitch) {
    std::vector<std::string> captions;
    for (QAction* top : box.popupMenu()->actions()) {
        captions.push_back(top->text().toStdString());
        if (top->menu()) {
            for (QAction* sub : top->menu()->actions()) {
                captions.push_back(sub->text().toStdString());
            }
        }
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Display Properties", "Port", "Port Type",
                                                  "Friendly Port Name", "Bluetooth Name", "", "ALL",
                                                  "NONE", "Filter Ports", "Generic", "USB",
                                                  "Bluetooth", "Bluetooth-In", "Com0Com", "", "ALL",
                                                  "NONE", "", "Refresh"}));
    EXPECT_TRUE(QFontInfo(box.font()).fixedPitch());
}
