// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/measurement_writer.h"

#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string contentOf(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string save(const std::string& path, std::size_t count) {
    return recording::saveMeasurement(
        path, recording::MeasurementFormat::Dat, count,
        [](std::size_t i) {
            return recording::MeasurementPoint{100.0 * i, 10000000.5};
        },
        45123.5, QLocale::c());
}

class MeasurementWriter : public ::testing::Test {
protected:
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    QTemporaryDir dir;
};

// The file is the user's alone, and a link at its name is replaced by it: the file the link led
// to stays as it was.
TEST_F(MeasurementWriter, TheFileIsTheUsersAndALinkAtItsNameIsNeverFollowed) {
    std::ofstream(path("victim")) << "precious";
    ASSERT_EQ(::symlink(path("victim").c_str(), path("run.dat").c_str()), 0);
    ASSERT_EQ(save(path("run.dat"), 3), "");
    EXPECT_EQ(contentOf(path("victim")), "precious");
    struct stat facts {};
    ASSERT_EQ(::lstat(path("run.dat").c_str(), &facts), 0);
    EXPECT_TRUE(S_ISREG(facts.st_mode));
    EXPECT_EQ(facts.st_mode & 07777, 0600u);
    EXPECT_NE(contentOf(path("run.dat")).find("\r\n200 10000000.5\r\n"), std::string::npos);
}

// What failed is said as the system says it, and the file that was there stays whole.
TEST_F(MeasurementWriter, AFailureIsTheSystemsOwnCause) {
    std::ofstream(path("run.dat")) << "earlier";
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string tooLarge = save(path("run.dat"), 10000);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(tooLarge, "File too large");
    EXPECT_EQ(contentOf(path("run.dat")), "earlier");
    EXPECT_EQ(save(path("missing/run.dat"), 1),
              "cannot write into " + path("missing") + ": No such file or directory");
}

} // namespace
