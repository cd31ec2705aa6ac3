// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/port_links.h"
#include "tools/port_link.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace tools {
namespace {

namespace fs = std::filesystem;

// A temporary XDG_DATA_HOME, so the links land in a folder of the test's own.
class PortLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        const char* old = std::getenv("XDG_DATA_HOME");
        oldHome_ = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("XDG_DATA_HOME", home_.path().toStdString().c_str(), 1);
        folder_ = platform::userPortLinkFolder();
        device_ = makeDevice("pts-a");
        other_ = makeDevice("pts-b");
    }
    void TearDown() override {
        if (oldHome_) {
            setenv("XDG_DATA_HOME", oldHome_->c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
    }
    // A file standing in for a device node.
    std::string makeDevice(const std::string& name) {
        const std::string path = home_.path().toStdString() + "/" + name;
        std::ofstream(path) << "";
        return path;
    }
    std::string comLink(int n) const { return folder_ + "/com" + std::to_string(n); }
    static std::string targetOf(const std::string& link) { return fs::read_symlink(link).string(); }

    QTemporaryDir home_;
    std::optional<std::string> oldHome_;
    std::string folder_;
    std::string device_;
    std::string other_;
};

TEST_F(PortLinkTest, CreatesTheFolderAndTakesComTwenty) {
    ASSERT_FALSE(fs::exists(folder_));
    {
        PortLink link(folder_, device_, 0);
        EXPECT_EQ(link.comName(), "COM20");
        EXPECT_EQ(link.linkPath(), comLink(20));
        EXPECT_EQ(targetOf(comLink(20)), device_);
    }
    EXPECT_FALSE(fs::is_symlink(comLink(20)));
}

TEST_F(PortLinkTest, NextInstanceTakesTheNextNumberAndFreedNumbersComeBack) {
    auto first = std::make_unique<PortLink>(folder_, device_, 0);
    PortLink second(folder_, other_, 0);
    EXPECT_EQ(second.number(), 21);
    EXPECT_EQ(targetOf(comLink(21)), other_);
    first.reset();
    PortLink third(folder_, device_, 0);
    EXPECT_EQ(third.number(), 20);
}

TEST_F(PortLinkTest, StaleLinkIsTakenOver) {
    fs::create_directories(folder_);
    fs::create_symlink(home_.path().toStdString() + "/gone", comLink(20));
    PortLink link(folder_, device_, 0);
    EXPECT_EQ(link.number(), 20);
    EXPECT_EQ(targetOf(comLink(20)), device_);
}

TEST_F(PortLinkTest, LiveLinkOfSomeoneElseIsNeverReplaced) {
    fs::create_directories(folder_);
    fs::create_symlink(other_, comLink(20));
    PortLink automatic(folder_, device_, 0);
    EXPECT_EQ(automatic.number(), 21);
    EXPECT_THROW(PortLink(folder_, device_, 20), std::runtime_error);
    EXPECT_EQ(targetOf(comLink(20)), other_);
}

TEST_F(PortLinkTest, PlainFileInTheWayIsLeftAlone) {
    fs::create_directories(folder_);
    std::ofstream(comLink(7)) << "not a link";
    EXPECT_THROW(PortLink(folder_, device_, 7), std::runtime_error);
    EXPECT_TRUE(fs::is_regular_file(comLink(7)));
}

TEST_F(PortLinkTest, ExplicitNumberIsUsed) {
    PortLink link(folder_, device_, 3);
    EXPECT_EQ(link.comName(), "COM3");
    EXPECT_EQ(targetOf(comLink(3)), device_);
}

TEST_F(PortLinkTest, RemovalSparesALinkThatNowPointsElsewhere) {
    PortLink link(folder_, device_, 0);
    fs::remove(comLink(20));
    fs::create_symlink(other_, comLink(20));
    link.remove();
    EXPECT_EQ(targetOf(comLink(20)), other_);
}

TEST_F(PortLinkTest, FolderThatCannotBeMadeIsAnError) {
    std::ofstream(home_.path().toStdString() + "/talvek") << "a file where the folder belongs";
    EXPECT_THROW(PortLink(folder_, device_, 0), std::runtime_error);
}

} // namespace
} // namespace tools
