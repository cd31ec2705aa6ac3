#include "platform/linux_registry_view.h"
#include "portselect/com_port_combo_box.h"
#include "tests/support/pty_pair.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

// A pseudo-terminal linked as "com7" in the user's link folder, the way the virtual counter
// registers itself, shows up in the selector under the real Linux view.
TEST(VirtualPortSelector, LinkedPseudoTerminalIsListedWithItsNameAndKind) {
    QTemporaryDir sysfs;
    QTemporaryDir links;
    talvek::test::PtyPair pty;
    const std::string link = links.path().toStdString() + "/com7";
    ASSERT_EQ(::symlink(pty.SlavePath().c_str(), link.c_str()), 0);

    const platform::LinuxRegistryView view(sysfs.path().toStdString(), "/dev",
                                           links.path().toStdString(), {});
    TComPortComboBox box(nullptr, &view);
    box.SetPort("COM7");
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.itemText(0).toStdString(),
              "COM7    COM0COM    com0com - serial port emulator (COM7)  ");
    EXPECT_EQ(box.Port(), "COM7");

    ::unlink(link.c_str());
    box.RefreshPorts();
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.Port(), "COM7");
}
