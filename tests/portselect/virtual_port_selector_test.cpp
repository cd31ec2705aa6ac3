// SPDX-License-Identifier: GPL-3.0-or-later
#include "portselect/port_selector.h"
#include "tests/support/fake_serial_machine.h"
#include "tests/support/pty_pair.h"

#include <gtest/gtest.h>
#include <unistd.h>

// The selector over the system catalog of a machine: a pseudo-terminal linked as "com7", the way
// the virtual counter registers itself, and a USB adapter that names itself in UTF-8.
TEST(VirtualPortSelector, ListsTheMachinesPortsWithTheirNamesKindsAndNodes) {
    talvek::test::FakeSerialMachine machine;
    talvek::test::PtyPair pty;
    machine.link("com7", pty.slavePath());
    talvek::test::FakeSerialMachine::UsbAdapter adapter;
    adapter.serial = "K1";
    adapter.productName = "Z\xc3\xa4hler-Adapter";
    machine.plugUsb("ttyUSB0", adapter);

    portselect::PortSelector box;
    box.setPort("COM7");
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.itemText(0), QString::fromUtf8("COM1    USB        Zähler-Adapter  "));
    EXPECT_EQ(box.itemText(1).toStdString(), "COM7    COM0COM    Virtual serial port  ");
    EXPECT_EQ(box.port(), "COM7");
    EXPECT_EQ(box.toolTip().toStdString(),
              "Virtual serial port (" + pty.slavePath() + "), kind virtual");

    ::unlink((machine.root() + "/links/com7").c_str());
    machine.unplug("ttyUSB0");
    box.refreshPorts();
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.port(), "COM7");
}
