#include "platform/memory_registry.h"
#include "portselect/com_port_combo_box.h"

#include <QAction>
#include <QFontInfo>
#include <QMenu>

#include <gtest/gtest.h>

using platform::MemoryRegistry;

namespace {

const std::string Enum = "SYSTEM\\CurrentControlSet\\Enum\\";

void AddPort(MemoryRegistry& reg, const std::string& name, const std::string& instance,
             const std::string& friendlyName) {
    const auto key = reg.OpenKey("HARDWARE\\DEVICEMAP\\SERIALCOMM");
    const std::size_t n = key ? key->Values.size() : 0;
    reg.SetValue("HARDWARE\\DEVICEMAP\\SERIALCOMM", "\\Device\\Serial" + std::to_string(n), name);
    reg.SetValue(Enum + instance, "FriendlyName", friendlyName);
    reg.SetValue(Enum + instance + "\\Device Parameters", "PortName", name);
}

// A machine with one port of every kind, listed out of order.
MemoryRegistry Machine() {
    MemoryRegistry reg;
    AddPort(reg, "COM12", "USB\\VID_0403&PID_6001\\A1", "USB Serial Port (COM12)");
    AddPort(reg, "COM3", "ACPI\\PNP0501\\1", "Communications Port (COM3)");
    AddPort(reg, "COM11", "BTHENUM\\{X}_LOCALMFG&0000\\8&0&0123456789AB_C00000000",
            "Standard Serial over Bluetooth link (COM11)");
    reg.SetValue(Enum + "BTHENUM\\Dev_0123456789AB\\1", "FriendlyName", "Sensor");
    AddPort(reg, "COM4", "BTHENUM\\{X}_LOCALMFG&0000\\8&1&000000000000_C00000000",
            "Standard Serial over Bluetooth link (COM4)");
    AddPort(reg, "COM20", "ROOT\\COM0COM\\0", "com0com - serial port emulator (COM20)");
    return reg;
}

std::vector<std::string> Items(const QComboBox& box) {
    std::vector<std::string> items;
    for (int i = 0; i < box.count(); ++i) {
        items.push_back(box.itemText(i).toStdString());
    }
    return items;
}

QMenu* SubMenu(TComPortComboBox& box, const char* title) {
    for (QAction* action : box.PopupMenu()->actions()) {
        if (action->menu() && action->text() == QLatin1String(title)) {
            return action->menu();
        }
    }
    return nullptr;
}

QAction* Item(QMenu* menu, const char* caption) {
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
        checks.push_back(Item(menu, caption)->isChecked());
    }
    return checks;
}

const std::initializer_list<const char*> Columns = {"Port", "Port Type", "Friendly Port Name",
                                                    "Bluetooth Name"};
const std::initializer_list<const char*> Kinds = {"Generic", "USB", "Bluetooth", "Bluetooth-In",
                                                  "Com0Com"};

class ComPortComboBox : public ::testing::Test {
protected:
    MemoryRegistry reg = Machine();
    TComPortComboBox box{nullptr, &reg};
};

} // namespace

TEST_F(ComPortComboBox, ListsEveryPortSortedWithAllColumns) {
    EXPECT_EQ(box.FilterShow(), 255);
    EXPECT_EQ(box.FilterType(), 255);
    EXPECT_EQ(Items(box),
              (std::vector<std::string>{
                  "COM3    generic    Communications Port (COM3)  ",
                  "COM4    Bluetooth  Standard Serial over Bluetooth link (COM4)  ",
                  "COM11   Bluetooth  Standard Serial over Bluetooth link (COM11)  Sensor",
                  "COM12   USB        USB Serial Port (COM12)  ",
                  "COM20   COM0COM    com0com - serial port emulator (COM20)  ",
              }));
    // Port was empty: the first item is chosen, without a change notification.
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(box.Port(), "COM3");
    EXPECT_EQ(box.toolTip().toStdString(), "Communications Port (COM3)");
    EXPECT_EQ(box.ShownPorts.size(), box.AllPorts.size());
}

TEST_F(ComPortComboBox, PortIsMatchedWithoutRegardToLetterCase) {
    int changes = 0;
    QObject::connect(&box, &TComPortComboBox::portChanged, [&] { ++changes; });
    box.SetPort("com12");
    EXPECT_EQ(box.currentIndex(), 3);
    EXPECT_EQ(box.Port(), "COM12");
    EXPECT_EQ(box.toolTip().toStdString(), "USB Serial Port (COM12)");
    box.SetPort("COM99");
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(box.Port(), "COM3");
    EXPECT_EQ(changes, 0);
}

TEST_F(ComPortComboBox, PickingAnItemSetsPortAndHintThenNotifies) {
    int changes = 0;
    std::string portSeen;
    QObject::connect(&box, &TComPortComboBox::portChanged, [&] {
        ++changes;
        portSeen = box.Port();
    });
    box.setCurrentIndex(2);
    emit box.activated(2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(portSeen, "COM11");
    EXPECT_EQ(box.toolTip().toStdString(), "Standard Serial over Bluetooth link (COM11)");
}

TEST_F(ComPortComboBox, ChangeWithNoItemSelectedLeavesPortAndHintAlone) {
    box.SetPort("COM12");
    emit box.activated(-1);
    EXPECT_EQ(box.Port(), "COM12");
    EXPECT_EQ(box.toolTip().toStdString(), "USB Serial Port (COM12)");
    EXPECT_FALSE(box.isEditable());
}

TEST_F(ComPortComboBox, FilterTypeListsOnlyThoseKindsAndSetsTheChecks) {
    box.SetPort("COM3");
    box.SetFilterType(2);
    ASSERT_EQ(box.ShownPorts.size(), 1u);
    EXPECT_EQ(box.ShownPorts[0].Name, "COM12");
    EXPECT_EQ(box.Port(), "COM12"); // the chosen port was filtered out
    EXPECT_EQ(Checks(SubMenu(box, "Filter Ports"), Kinds),
              (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(box.AllPorts.size(), 5u);

    box.SetFilterType(8 | 16);
    EXPECT_EQ(Items(box).size(), 2u);
    EXPECT_EQ(box.ShownPorts[0].Name, "COM4");
    EXPECT_EQ(box.ShownPorts[0].Kind, KindBluetoothIn);
    EXPECT_EQ(box.ShownPorts[1].Name, "COM20");
}

TEST_F(ComPortComboBox, FilterShowChoosesColumnsAndSetsTheChecks) {
    box.SetFilterShow(1);
    EXPECT_EQ(box.itemText(0).toStdString(), "COM3    ");
    EXPECT_EQ(Checks(SubMenu(box, "Display Properties"), Columns),
              (std::vector<bool>{true, false, false, false}));
    box.SetFilterShow(8);
    EXPECT_EQ(Items(box), (std::vector<std::string>{"", "", "Sensor", "", ""}));
    box.SetFilterShow(2 | 4);
    EXPECT_EQ(box.itemText(3).toStdString(), "USB        USB Serial Port (COM12)  ");
    box.SetFilterShow(0);
    EXPECT_EQ(Items(box), (std::vector<std::string>(5, "")));
    EXPECT_EQ(box.Port(), "COM3");
}

TEST(ComPortComboBoxNames, LongNamesAreNotPaddedOrCut) {
    MemoryRegistry reg;
    AddPort(reg, "COM123", "ACPI\\PNP0501\\1", "Communications Port (COM123)");
    AddPort(reg, "COM1234", "ACPI\\PNP0501\\2", "Communications Port (COM1234)");
    TComPortComboBox box(nullptr, &reg);
    box.SetFilterShow(1);
    EXPECT_EQ(Items(box), (std::vector<std::string>{"COM123  ", "COM1234  "}));
}

TEST(ComPortComboBoxNames, OneItemListSelectsIt) {
    MemoryRegistry reg;
    AddPort(reg, "COM7", "USB\\VID_1&PID_2\\S", "USB Serial Port (COM7)");
    TComPortComboBox box(nullptr, &reg);
    box.SetPort("COM1");
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(box.Port(), "COM7");
    EXPECT_EQ(box.toolTip().toStdString(), "USB Serial Port (COM7)");
}

TEST(ComPortComboBoxNames, EmptyMachineGivesEmptyListAndKeepsPort) {
    MemoryRegistry reg;
    TComPortComboBox box(nullptr, &reg);
    box.SetPort("COM3");
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.Port(), "COM3");
    EXPECT_TRUE(box.toolTip().isEmpty());
}

TEST_F(ComPortComboBox, NoneThenAllUnderFilterPorts) {
    box.SetPort("COM11");
    QMenu* filter = SubMenu(box, "Filter Ports");
    Item(filter, "NONE")->trigger();
    EXPECT_EQ(box.count(), 0);
    EXPECT_TRUE(box.toolTip().isEmpty());
    EXPECT_EQ(box.Port(), "COM11");
    EXPECT_EQ(box.FilterType(), 0);
    EXPECT_EQ(Checks(filter, Kinds), (std::vector<bool>(5, false)));

    Item(filter, "ALL")->trigger();
    EXPECT_EQ(box.count(), 5);
    EXPECT_EQ(box.currentIndex(), 2);
    EXPECT_EQ(box.Port(), "COM11");
    EXPECT_EQ(box.FilterType(), 31);
    EXPECT_EQ(Checks(filter, Kinds), (std::vector<bool>(5, true)));
    EXPECT_FALSE(Item(filter, "ALL")->isChecked());
    EXPECT_FALSE(Item(filter, "NONE")->isChecked());
}

TEST_F(ComPortComboBox, MenuClicksToggleAndApply) {
    QMenu* display = SubMenu(box, "Display Properties");
    Item(display, "Port Type")->trigger();
    EXPECT_EQ(box.FilterShow(), 1 | 4 | 8);
    EXPECT_FALSE(Item(display, "Port Type")->isChecked());
    EXPECT_EQ(box.itemText(0).toStdString(), "COM3    Communications Port (COM3)  ");
    Item(display, "NONE")->trigger();
    EXPECT_EQ(box.FilterShow(), 0);
    Item(display, "ALL")->trigger();
    EXPECT_EQ(box.FilterShow(), 15);
    Item(SubMenu(box, "Filter Ports"), "Bluetooth")->trigger();
    EXPECT_EQ(box.FilterType(), 31 & ~4);
    EXPECT_EQ(box.count(), 4);
}

TEST_F(ComPortComboBox, RefreshTurns255Into15And31AndRediscovers) {
    AddPort(reg, "COM5", "ACPI\\PNP0501\\2", "Communications Port (COM5)");
    Item(box.PopupMenu(), "Refresh")->trigger();
    EXPECT_EQ(box.FilterShow(), 15);
    EXPECT_EQ(box.FilterType(), 31);
    EXPECT_EQ(box.count(), 6);
    EXPECT_EQ(box.ShownPorts[1].Name, "COM4");
    EXPECT_EQ(box.ShownPorts[2].Name, "COM5");
}

TEST_F(ComPortComboBox, MenuCaptionsCarryNoAcceleratorsAndItemsUseFixedPitch) {
    std::vector<std::string> captions;
    for (QAction* top : box.PopupMenu()->actions()) {
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
