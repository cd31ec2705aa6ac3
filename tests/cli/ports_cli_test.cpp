// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_run.h"

#include <gtest/gtest.h>

namespace {

TEST(PortsCli, HelpGivesTheKindsUnderTheWindowsNames) {
    const cli_test::CliRun help = cli_test::runCli({"ports", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_TRUE(help.out.starts_with("Usage: talvek-cli ports\n")) << help.out;
    const std::string table =
        "\n"
        "The kinds as the window names them in its port list and its filter:\n"
        "  kind          port list  filter\n"
        "  serial        generic    Generic\n"
        "  usb           USB        USB\n"
        "  bluetooth     Bluetooth  Bluetooth\n"
        "  bluetooth-in  Bluetooth  Bluetooth-In\n"
        "  virtual       COM0COM    Com0Com\n";
    EXPECT_TRUE(help.out.ends_with(table)) << help.out;
}

} // namespace
