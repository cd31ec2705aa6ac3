// SPDX-License-Identifier: GPL-3.0-or-later
// The Debian package as a user gets it: built by CPack, unpacked into a private root, its files,
// its declared dependencies, lintian's verdict where lintian is installed, and its talvek-cli
// started from there.
#include "tests/support/child_process.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct Ran {
    int exitCode = -1;
    std::string output; // standard output and standard error
};

// What a shell command line printed, and how it ended.
Ran shell(const std::string& commandLine) {
    talvek::test::ChildProcess child;
    Ran ran;
    if (!child.start("/bin/sh", {"-c", commandLine + " 2>&1"})) {
        return ran;
    }
    while (child.running()) {
        ran.output += child.readOutput(100);
    }
    ran.output += child.readOutput();
    ran.exitCode = child.exitCode();
    return ran;
}

bool installed(const std::string& program) {
    return shell("command -v " + program).exitCode == 0;
}

TEST(Package, InstallsIntoACleanRootAndRuns) {
    if (!installed("dpkg-deb")) {
        GTEST_SKIP() << "dpkg-deb is not installed";
    }
    QTemporaryDir work;
    const std::string dir = work.path().toStdString();
    const Ran built =
        shell("cpack -G DEB --config " TALVEK_BUILD_DIR "/CPackConfig.cmake -B " + dir + "/out");
    ASSERT_EQ(built.exitCode, 0) << built.output;
    std::string deb;
    for (const auto& entry : fs::directory_iterator(dir + "/out")) {
        if (entry.path().extension() == ".deb") {
            deb = entry.path().string();
        }
    }
    ASSERT_NE(deb.find("/talvek_" TALVEK_VERSION "_"), std::string::npos) << built.output;

    const Ran depends = shell("dpkg-deb -f " + deb + " Depends");
    EXPECT_NE(depends.output.find("libqt6core6"), std::string::npos) << depends.output;
    EXPECT_NE(depends.output.find("libqt6widgets6"), std::string::npos) << depends.output;

    const std::string root = dir + "/root";
    ASSERT_EQ(shell("dpkg-deb -x " + deb + " " + root).exitCode, 0);
    for (const char* file : {
             "usr/bin/talvek",
             "usr/bin/talvek-cli",
             "usr/bin/virtual-kelvo",
             "usr/share/applications/org.talvek.Talvek.desktop",
             "usr/share/icons/hicolor/scalable/apps/org.talvek.Talvek.svg",
             "usr/share/metainfo/org.talvek.Talvek.metainfo.xml",
             "usr/share/man/man1/talvek-cli.1.gz",
             "usr/share/man/man1/virtual-kelvo.1.gz",
             "usr/share/doc/talvek/copyright",
             "usr/lib/systemd/user/talvek-record@.service",
         }) {
        EXPECT_TRUE(fs::is_regular_file(root + "/" + file)) << file;
    }

    const Ran version = shell(root + "/usr/bin/talvek-cli --version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, "talvek-cli " TALVEK_VERSION "\n");

    if (installed("appstreamcli")) {
        const Ran metainfo = shell("appstreamcli validate --no-net --pedantic " + root +
                                   "/usr/share/metainfo/org.talvek.Talvek.metainfo.xml");
        EXPECT_EQ(metainfo.exitCode, 0) << metainfo.output;
    }
    if (installed("desktop-file-validate")) {
        const Ran entry = shell("desktop-file-validate " + root +
                                "/usr/share/applications/org.talvek.Talvek.desktop");
        EXPECT_EQ(entry.output, "");
    }
    if (installed("systemd-analyze")) {
        // As an instance, with the unpacked talvek-cli in place of the installed one.
        const std::string unit = dir + "/talvek-record@COM3.service";
        ASSERT_EQ(shell("sed 's|/usr/bin/talvek-cli|" + root + "/usr/bin/talvek-cli|' '" + root +
                        "/usr/lib/systemd/user/talvek-record@.service' > '" + unit + "'")
                      .exitCode,
                  0);
        const Ran verified = shell("systemd-analyze verify --man=no '" + unit + "'");
        EXPECT_EQ(verified.exitCode, 0);
        EXPECT_EQ(verified.output, "");
    }
    if (installed("lintian")) {
        // Errors and warnings fail; the hardening notes of a CMake build are informational.
        const Ran lint = shell("lintian --fail-on error,warning " + deb);
        EXPECT_EQ(lint.exitCode, 0) << lint.output;
    }
}

} // namespace
