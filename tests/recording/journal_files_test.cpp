// SPDX-License-Identifier: GPL-3.0-or-later
// The journal's files are the user's alone: 0600 in a 0700 folder of the user's, never made
// through a link somebody placed, and never in a shared place such as /tmp.
#include "platform/port_links.h"
#include "recording/journal_files.h"
#include "recording/recording_journal.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

mode_t modeOf(const std::string& path) {
    struct stat facts {};
    return ::lstat(path.c_str(), &facts) == 0 ? facts.st_mode & 07777 : 0;
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class JournalFiles : public ::testing::Test {
protected:
    std::string path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    // A file of the user's that a link may try to lead a write into.
    std::string victim() {
        const std::string file = path("victim");
        std::ofstream(file) << "precious";
        return file;
    }

    QTemporaryDir dir;
};

TEST_F(JournalFiles, TheWindowsJournalIsNeverMadeThroughALinkPlacedForIt) {
    const std::string folder = path("talvek");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string target = victim();
    const std::string unseen = folder + "/.recording-" + std::to_string(::getpid()) + ".new";
    ASSERT_EQ(::symlink(target.c_str(), unseen.c_str()), 0);

    recording::RecordingJournal journal{recording::JournalFolder(folder)};
    journal.start({45123.5, "COM3"});
    journal.addStatus(10, "OK");
    EXPECT_TRUE(journal.finish(20));
    EXPECT_EQ(contentOf(target), "precious");
    struct stat facts {};
    ASSERT_EQ(::lstat(journal.path().c_str(), &facts), 0);
    EXPECT_TRUE(S_ISREG(facts.st_mode));
    EXPECT_EQ(facts.st_mode & 07777, 0600u);
    EXPECT_EQ(modeOf(folder), 0700u) << "the folder is made the user's alone";
}

TEST_F(JournalFiles, AJournalAtAPathIsMadeOnlyWhereNothingIs) {
    const std::string target = victim();
    ASSERT_EQ(::symlink(target.c_str(), path("linked.tvj").c_str()), 0);
    ASSERT_EQ(::symlink(path("nowhere").c_str(), path("dangling.tvj").c_str()), 0);
    std::ofstream(path("there.tvj")) << "an earlier run";
    for (const char* name : {"linked.tvj", "dangling.tvj", "there.tvj"}) {
        std::string error;
        EXPECT_FALSE(recording::createJournalAt(path(name), error).held()) << name;
        EXPECT_NE(error.find("File exists"), std::string::npos) << error;
    }
    EXPECT_EQ(contentOf(target), "precious");
    EXPECT_EQ(contentOf(path("there.tvj")), "an earlier run");
    struct stat facts {};
    EXPECT_NE(::stat(path("nowhere").c_str(), &facts), 0);

    std::string error;
    recording::HeldJournal made = recording::createJournalAt(path("new.tvj"), error);
    ASSERT_TRUE(made.held()) << error;
    EXPECT_EQ(modeOf(path("new.tvj")), 0600u);
}

// A folder somebody else could empty, fill or read: one of another user's, or one anybody may
// write without the sticky bit, takes no journal.
TEST_F(JournalFiles, AFolderThatIsNotTheUsersTakesNoJournal) {
    const std::string open = path("open");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
    std::string error;
    EXPECT_FALSE(recording::createJournalAt(open + "/run.tvj", error).held());
    EXPECT_NE(error.find("other users may rename or remove its files"), std::string::npos) << error;
    ASSERT_EQ(::chmod(open.c_str(), 01777), 0);
    EXPECT_TRUE(recording::createJournalAt(open + "/run.tvj", error).held()) << error;

    if (::geteuid() != 0) {
        return; // only root can give a folder to another user
    }
    const std::string theirs = path("theirs");
    ASSERT_EQ(::mkdir(theirs.c_str(), 0700), 0);
    ASSERT_EQ(::chown(theirs.c_str(), 4242, 4242), 0);
    EXPECT_FALSE(recording::createJournalAt(theirs + "/run.tvj", error).held());
    EXPECT_NE(error.find("belongs to another user"), std::string::npos) << error;
    const recording::JournalFolder::Created created = recording::JournalFolder(theirs).create();
    EXPECT_FALSE(created.journal.held());
    EXPECT_NE(created.error.find("belongs to another user"), std::string::npos) << created.error;
}

// Without HOME and XDG_DATA_HOME the folder is in the home folder the password database gives,
// and where it gives none there is no folder, said in one line: never /tmp.
TEST(DataFolder, ComesFromThePasswordDatabaseAndIsNeverShared) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::unsetenv("HOME");
        ::unsetenv("XDG_DATA_HOME");
        const passwd* entry = ::getpwuid(::getuid());
        const std::string expected =
            std::string(entry ? entry->pw_dir : "") + "/.local/share/talvek";
        bool good = recording::JournalFolder::userDataFolder() == expected &&
                    platform::userPortLinkFolder() == expected + "/ports";
        // A user the password database does not know, as in a container run under a bare uid.
        if (good && ::geteuid() == 0 && ::setuid(54321) == 0) {
            const recording::JournalFolder::Created created =
                recording::JournalFolder(recording::JournalFolder::userDataFolder()).create();
            good = recording::JournalFolder::userDataFolder().empty() &&
                   platform::userPortLinkFolder().empty() && !created.journal.held() &&
                   created.error.find("there is no home folder") == 0 &&
                   created.error.find('\n') == std::string::npos;
        }
        ::_exit(good ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
