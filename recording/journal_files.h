// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace recording {

// A journal file this window holds. Its lock (flock) tells every other window that the file is in
// use, so none takes it for the leftover of a run that ended without a clean close; the lock goes
// with the process, also when the process is killed.
class HeldJournal {
public:
    HeldJournal() = default;
    HeldJournal(std::string path, int lockFd) : path_(std::move(path)), lockFd_(lockFd) {}
    ~HeldJournal();
    HeldJournal(HeldJournal&& other) noexcept;
    HeldJournal& operator=(HeldJournal&& other) noexcept;

    bool held() const { return lockFd_ >= 0; }
    const std::string& path() const { return path_; }
    // The open file, held as long as this is.
    int fd() const { return lockFd_; }

    // Deletes the file (the folder synced, so the removal lasts), then lets it go.
    void remove();
    // Lets the file go, where it is.
    void release();
    // Gives the file the name `path`, never over another file, and keeps holding it. False, with
    // errno set (EEXIST: the name is taken), when it could not be renamed.
    bool renameTo(const std::string& path);

private:
    std::string path_;
    int lockFd_ = -1;
};

// A new journal file at `path` (0600), made only where no file and no link of that name is, in a
// folder safe to write into (see platform::openFolderToWrite), and held; not held, with `error`
// saying why, when it could not be made.
HeldJournal createJournalAt(const std::string& path, std::string& error);

// The per-user folder of recording journals, $XDG_DATA_HOME/talvek (~/.local/share/talvek), 0700
// and the user's own; its journals are 0600.
//   recording-<pid>[-<n>].tvj  a window's journal, locked while the window runs; one that nobody
//                              holds was left behind by a run that did not end cleanly.
//   journal-<start>.tvj        a leftover the user chose not to recover, kept aside under its
//                              connect date-time, yyyy-MM-ddTHH-mm-ss (a "_<n>" follows when two
//                              share a second). The newest ten are kept.
class JournalFolder {
public:
    explicit JournalFolder(std::string path) : path_(std::move(path)) {}
    // Empty where there is none (no home folder); create() then says why.
    static std::string userDataFolder();

    const std::string& path() const { return path_; }

    struct Created {
        HeldJournal journal;
        std::string error; // why there is none
    };
    // A new, empty journal for this window; locked before any other window can see it.
    Created create() const;
    // The journals nobody holds, the most recently written first, each now held by this window.
    std::vector<HeldJournal> takeLeftovers() const;
    // Keeps a held leftover aside under its connect date-time (the file's time when unknown).
    void setAside(HeldJournal& journal, std::optional<double> startTime) const;
    // Deletes the journals kept aside beyond the newest `keep`.
    void removeOldSetAside(std::size_t keep) const;

private:
    std::string path_;
};

} // namespace recording
