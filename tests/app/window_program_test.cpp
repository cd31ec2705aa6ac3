// SPDX-License-Identifier: GPL-3.0-or-later
// The built talvek program, run as a user runs it, where no display is: it answers --help and
// --version, and says what is missing for the window instead of aborting.
#include "tests/support/program_run.h"

#include <gtest/gtest.h>

namespace {

using talvek::test::ProgramRun;
using talvek::test::runProgram;
using talvek::test::StartEnvironment;

ProgramRun runWithoutDisplay(const std::vector<std::string>& arguments,
                             const std::vector<std::pair<std::string, std::string>>& environment) {
    return runProgram(TALVEK_PROGRAM, arguments, environment, StartEnvironment::Empty);
}

TEST(WindowProgram, AnswersVersionAndHelpOnStandardOutput) {
    const ProgramRun version = runWithoutDisplay({"--version"}, {});
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_EQ(version.out, "talvek " TALVEK_VERSION "\n");
    EXPECT_EQ(version.err, "");
    for (const char* help : {"--help", "-h"}) {
        const ProgramRun run = runWithoutDisplay({help}, {});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(run.out.starts_with("Usage: talvek [--help | --version]\n")) << run.out;
        EXPECT_NE(run.out.find("\n  1  no display"), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
    }
}

TEST(WindowProgram, WithoutADisplaySaysWhatIsMissingInOneLine) {
    const std::vector<std::pair<std::string, std::string>> environments[] = {
        {},
        {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}},
    };
    for (const auto& environment : environments) {
        const ProgramRun run = runWithoutDisplay({}, environment);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "talvek: no display: DISPLAY and WAYLAND_DISPLAY are unset (start it in "
                           "a desktop session, or set QT_QPA_PLATFORM=offscreen)\n");
    }
}

} // namespace
