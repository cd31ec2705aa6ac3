// SPDX-License-Identifier: GPL-3.0-or-later
// A rename or removal is only safe from a power cut once its folder is synced. The system calls
// are watched from inside: this program's own fsync, rename, renameat, renameat2 and unlink stand
// in front of the C library's, note what they were given, and make the call.
#include "platform/com_number_file.h"
#include "recording/journal_files.h"
#include "recording/measurement_writer.h"

#include <QTemporaryDir>
#include <algorithm>
#include <climits>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

std::mutex traceMutex;
std::vector<std::string>& trace() {
    static std::vector<std::string> lines;
    return lines;
}

void note(const std::string& line) {
    const std::lock_guard lock(traceMutex);
    trace().push_back(line);
}

std::string pathOf(int folder, const char* name) {
    if (name[0] == '/') {
        return name;
    }
    char buffer[PATH_MAX] = {};
    const std::string link =
        folder == AT_FDCWD ? "/proc/self/cwd" : "/proc/self/fd/" + std::to_string(folder);
    const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    return std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(length, 0))) + '/' + name;
}

} // namespace

extern "C" {

int fsync(int fd) {
    struct stat facts {};
    if (::fstat(fd, &facts) == 0 && S_ISDIR(facts.st_mode)) {
        char buffer[PATH_MAX] = {};
        const std::string link = "/proc/self/fd/" + std::to_string(fd);
        const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
        note("sync " + std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(length, 0))));
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

int rename(const char* from, const char* to) {
    note("rename " + pathOf(AT_FDCWD, to));
    return static_cast<int>(::syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    note("rename " + pathOf(toFolder, to));
    return static_cast<int>(::syscall(SYS_renameat, fromFolder, from, toFolder, to));
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
    note("rename " + pathOf(toFolder, to));
    return static_cast<int>(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, flags));
}

int unlink(const char* path) {
    note("unlink " + pathOf(AT_FDCWD, path));
    return static_cast<int>(::syscall(SYS_unlinkat, AT_FDCWD, path, 0));
}

} // extern "C"

namespace {

// Whether the folder was synced after the last rename to, or removal of, `path`.
bool syncedAfter(const std::string& what, const std::string& folder) {
    const std::lock_guard lock(traceMutex);
    const auto last = std::find(trace().rbegin(), trace().rend(), what);
    return last != trace().rend() && std::find(trace().rbegin(), last, "sync " + folder) != last;
}

TEST(FolderSync, EveryRenameAndRemovalThatMattersSyncsItsFolder) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const struct {
        const char* what;
        std::function<void()> act;
        std::string traced;
    } cases[] = {
        {"the measurement file put in place",
         [&] {
             recording::saveMeasurement(
                 folder + "/run.dat", recording::MeasurementFormat::Dat, 1,
                 [](std::size_t) {
                     return recording::MeasurementPoint{0, 1};
                 },
                 0, QLocale::c());
         },
         "rename " + folder + "/run.dat"},
        {"the journal removed after a clean end",
         [&] {
             std::string error;
             recording::createJournalAt(folder + "/run.tvj", error).remove();
         },
         "unlink " + folder + "/run.tvj"},
        {"a leftover journal kept aside",
         [&] {
             std::string error;
             recording::HeldJournal journal =
                 recording::createJournalAt(folder + "/recording-1.tvj", error);
             recording::JournalFolder(folder).setAside(journal, 45123.5);
         },
         "rename " + folder + "/journal-2023-07-16T12-00-00.tvj"},
        {"new COM numbers kept",
         [&] { platform::keepComNumbers(folder + "/com-numbers", {"name:ttyS0"}, {}); },
         "rename " + folder + "/com-numbers"},
    };
    for (const auto& c : cases) {
        c.act();
        EXPECT_TRUE(syncedAfter(c.traced, folder)) << c.what;
    }
}

} // namespace
