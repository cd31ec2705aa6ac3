// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/node_access.h"

#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(NodeAccess, ReadsTheNodeAndTheGroupsOfThisProcessAndItsUser) {
    QTemporaryDir dir;
    const std::string node = dir.filePath("ttyX").toStdString();
    std::ofstream{node};
    ASSERT_EQ(::chmod(node.c_str(), 0640), 0);
    const passwd* me = ::getpwuid(::geteuid());
    const group* myGroup = ::getgrgid(::getegid());
    const group* primary = me ? ::getgrgid(me->pw_gid) : nullptr;
    ASSERT_TRUE(me && myGroup && primary);

    const std::optional<platform::NodeAccess> access = platform::readNodeAccess(node);
    ASSERT_TRUE(access);
    EXPECT_EQ(access->owner, me->pw_name);
    EXPECT_EQ(access->group, myGroup->gr_name);
    EXPECT_EQ(access->mode, 0640u);
    EXPECT_EQ(access->user, me->pw_name);
    EXPECT_TRUE(contains(access->processGroups, myGroup->gr_name));
    EXPECT_TRUE(contains(access->databaseGroups, primary->gr_name));

    EXPECT_FALSE(platform::readNodeAccess(dir.filePath("missing").toStdString()));
    EXPECT_FALSE(platform::readNodeAccess(""));
}

} // namespace
