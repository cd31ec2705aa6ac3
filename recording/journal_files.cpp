// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/journal_files.h"

#include "platform/home_folder.h"
#include "platform/private_files.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace recording {
namespace {

constexpr char kLivePrefix[] = "recording-";
constexpr char kSetAsidePrefix[] = "journal-";
constexpr char kSuffix[] = ".tvj";
constexpr int kMaxNameTries = 1000;
constexpr qint64 kMsPerDay = 24LL * 60 * 60 * 1000;

bool lockNow(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

// Renames without replacing a file of the new name. Where the file system cannot rename so, a
// second link and the removal of the first do the same.
int renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    ::unlink(from.c_str());
    return 0;
}

std::vector<std::string> namesIn(const std::string& folder, std::string_view prefix) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name.starts_with(prefix) && name.ends_with(kSuffix)) {
                names.emplace_back(name);
            }
        }
        ::closedir(dir);
    }
    return names;
}

// The path still names the file open as `fd`: it was neither deleted nor renamed meanwhile.
bool stillNamed(int fd, const std::string& path) {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_nlink > 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// A date-time (days since 1899-12-30) as yyyy-MM-ddTHH-mm-ss; empty outside the years 1900 to
// 9999, where the name would not sort by date.
std::string nameStamp(double dateTime) {
    if (!(dateTime >= 1 && dateTime < 2958466)) {
        return {};
    }
    qint64 days = static_cast<qint64>(std::floor(dateTime));
    qint64 ms = std::llround((dateTime - days) * kMsPerDay);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        ++days;
    }
    const QDateTime moment(QDate(1899, 12, 30).addDays(days),
                           QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
    return moment.toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss")).toStdString();
}

} // namespace

HeldJournal::~HeldJournal() {
    release();
}

HeldJournal::HeldJournal(HeldJournal&& other) noexcept
    : path_(std::move(other.path_)), lockFd_(std::exchange(other.lockFd_, -1)) {}

HeldJournal& HeldJournal::operator=(HeldJournal&& other) noexcept {
    if (this != &other) {
        release();
        path_ = std::move(other.path_);
        lockFd_ = std::exchange(other.lockFd_, -1);
    }
    return *this;
}

void HeldJournal::remove() {
    if (held() && ::unlink(path_.c_str()) == 0) {
        platform::syncFolderOf(path_);
    }
    release();
}

void HeldJournal::release() {
    if (held()) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
}

bool HeldJournal::renameTo(const std::string& path) {
    if (!held()) {
        errno = EBADF;
        return false;
    }
    if (const int error = renameNoReplace(path_, path); error != 0) {
        errno = error;
        return false;
    }
    path_ = path;
    platform::syncFolderOf(path_);
    return true;
}

HeldJournal createJournalAt(const std::string& path, std::string& error) {
    const auto [folderPath, name] = platform::splitPath(path);
    const platform::UniqueFd folder = platform::openFolderToWrite(folderPath, error);
    if (!folder.valid()) {
        return {};
    }
    const int fd = platform::createFileIn(folder.get(), name, O_RDWR);
    if (fd < 0) {
        error = "cannot create the journal " + path + ": " + std::strerror(errno);
        return {};
    }
    HeldJournal journal(path, fd);
    if (!lockNow(fd)) {
        error = "cannot lock the journal " + path + ": " + std::strerror(errno);
        journal.remove();
        return {};
    }
    platform::syncFolder(folder.get());
    return journal;
}

std::string JournalFolder::userDataFolder() {
    return platform::userDataFolder().path;
}

// The file is made and locked under a name no window looks at, then given its journal name: a
// window looking for leftovers never sees it unlocked.
JournalFolder::Created JournalFolder::create() const {
    const auto failed = [](const std::string& what) {
        return Created{{}, what + ": " + std::strerror(errno)};
    };
    if (path_.empty()) {
        const std::string why = platform::userDataFolder().error;
        return Created{{}, why.empty() ? std::string("there is no folder for the journal") : why};
    }
    std::string error;
    const platform::UniqueFd folder = platform::openOwnFolder(path_, error);
    if (!folder.valid()) {
        return Created{{}, error};
    }
    const std::string pid = std::to_string(::getpid());
    const std::string unseenName = ".recording-" + pid + ".new";
    const std::string unseen = path_ + '/' + unseenName;
    // One left by an earlier process of this number (the folder is ours alone) goes first.
    int fd = platform::createFileIn(folder.get(), unseenName, O_RDWR);
    if (fd < 0 && errno == EEXIST && ::unlinkat(folder.get(), unseenName.c_str(), 0) == 0) {
        fd = platform::createFileIn(folder.get(), unseenName, O_RDWR);
    }
    if (fd < 0) {
        return failed("cannot create a journal in " + path_);
    }
    HeldJournal journal(unseen, fd);
    if (!lockNow(fd)) {
        Created result = failed("cannot lock the journal " + unseen);
        journal.remove();
        return result;
    }
    for (int n = 1; n <= kMaxNameTries; ++n) {
        const std::string name = kLivePrefix + pid + (n == 1 ? "" : '-' + std::to_string(n));
        if (journal.renameTo(path_ + '/' + name + kSuffix)) {
            return Created{std::move(journal), {}};
        }
        if (errno != EEXIST) {
            break;
        }
    }
    Created result = failed("cannot name the journal " + unseen);
    journal.remove();
    return result;
}

std::vector<HeldJournal> JournalFolder::takeLeftovers() const {
    struct Leftover {
        timespec written;
        HeldJournal journal;
    };
    std::vector<Leftover> leftovers;
    for (const std::string& name : namesIn(path_, kLivePrefix)) {
        const std::string path = path_ + '/' + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        HeldJournal journal(path, fd);
        struct stat info {};
        if (lockNow(fd) && stillNamed(fd, path) && ::fstat(fd, &info) == 0) {
            leftovers.push_back({info.st_mtim, std::move(journal)});
        }
    }
    std::sort(leftovers.begin(), leftovers.end(), [](const Leftover& a, const Leftover& b) {
        return a.written.tv_sec != b.written.tv_sec ? a.written.tv_sec > b.written.tv_sec
                                                    : a.written.tv_nsec > b.written.tv_nsec;
    });
    std::vector<HeldJournal> journals;
    for (Leftover& leftover : leftovers) {
        journals.push_back(std::move(leftover.journal));
    }
    return journals;
}

void JournalFolder::setAside(HeldJournal& journal, std::optional<double> startTime) const {
    std::string stamp = startTime ? nameStamp(*startTime) : std::string();
    if (stamp.empty()) {
        const QDateTime written = QFileInfo(QString::fromStdString(journal.path())).lastModified();
        stamp = written.toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss")).toStdString();
    }
    for (int n = 1; n <= kMaxNameTries; ++n) {
        const std::string name =
            kSetAsidePrefix + stamp + (n == 1 ? "" : '_' + std::to_string(n)) + kSuffix;
        if (journal.renameTo(path_ + '/' + name) || errno != EEXIST) {
            break;
        }
    }
    journal.release();
}

void JournalFolder::removeOldSetAside(std::size_t keep) const {
    std::vector<std::string> names = namesIn(path_, kSetAsidePrefix);
    if (names.size() <= keep) {
        return;
    }
    std::sort(names.begin(), names.end());
    for (std::size_t i = 0; i + keep < names.size(); ++i) {
        ::unlink((path_ + '/' + names[i]).c_str());
    }
    platform::syncFolderOf(path_ + "/.");
}

} // namespace recording
