// SPDX-License-Identifier: GPL-3.0-or-later
// talvek-cli stability on readings that no analysis should be run on: it says what is wrong and
// where, with exit status 4, and gives no result.
#include "cli_run.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

TEST(StabilityInput, TimeGoingBackAndReadingsNoCounterGivesAreToldByLine) {
    QTemporaryDir folder;
    std::string decreasing;
    for (int i = 1000; i > 0; --i) {
        decreasing += std::to_string(i) + " 10000000." + std::to_string(i % 10) + "\n";
    }
    const struct {
        const char* name;
        std::string text;
        const char* told;
    } cases[] = {
        {"decreasing.txt", decreasing, "the time goes back at line 2;"},
        {"huge-times.txt", "0 10000000\n1e308 10000000\n-1e308 10000000\n",
         "line 2 holds a time or value beyond what any counter gives"},
        {"huge-values.txt", "10000000.1\n1e308\n10000000.2\n1e-320\n10000000.3\n",
         "line 2 holds a time or value beyond"},
        {"back.dat",
         "/* KELVO counter data: t/ms, f/Hz\r\n/* \r\n/*\r\n0 10000000.1\r\nbad\r\n200 "
         "10000000.2\r\n100 10000000.3\r\n",
         "the time goes back at line 7;"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.filePath(c.name).toStdString();
        std::ofstream(path, std::ios::binary) << c.text;
        const cli_test::CliRun run = cli_test::runCli({"stability", path});
        EXPECT_EQ(run.exitCode, 4) << c.name << ": " << run.out;
        EXPECT_EQ(run.out, "") << c.name;
        EXPECT_TRUE(run.err.starts_with("talvek-cli: " + path + ": " + c.told)) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

} // namespace
