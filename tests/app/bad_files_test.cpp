// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged settings files and exports that cannot be written: the program reads usable values
// whatever the file holds, and a failed export never damages the user's existing file.

#include "app/formats/data_export.h"
#include "app/formats/settings_file.h"
#include "app/log_model.h"
#include "tests/app/file_bytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <sys/mount.h>
#include <sys/resource.h>

namespace {

using app::Settings;

const QLocale unitedStates(QLocale::English, QLocale::UnitedStates);

const std::string kGoodSettings = "COM3\r\n"
                                  " 6.00000000000000E+0001\r\n"
                                  " 1.00000000000000E+0006\r\n"
                                  "614\r\n225\r\n1148\r\n574\r\n255\r\n3\r\n";

Settings windowValues() {
    return Settings{"COM99", 7, 7, 614, 225, 1148, 574, 255, 255};
}

class BadSettingsFile : public ::testing::Test {
protected:
    std::string Name() const { return app::settingsFileName(dir.path().toStdString()); }

    Settings read(const std::string& bytes, std::string* error) {
        writeBytes(Name(), bytes);
        Settings s = windowValues();
        *error = app::readSettings(Name(), s);
        return s;
    }

    static void expectWithinLimits(const Settings& s, const std::string& context) {
        EXPECT_TRUE(s.filterShow >= 1 && s.filterShow <= 255) << context;
        EXPECT_TRUE(s.filterType >= 1 && s.filterType <= 255) << context;
        EXPECT_TRUE(std::isfinite(s.timeDivisor) && s.timeDivisor != 0) << context;
        EXPECT_TRUE(std::isfinite(s.frequencyDivisor) && s.frequencyDivisor != 0) << context;
    }

    QTemporaryDir dir;
};

TEST_F(BadSettingsFile, TruncatedAtEveryByteReadsWhatIsThereAndStaysWithinLimits) {
    const Settings full{"COM3", 60, 1e6, 614, 225, 1148, 574, 255, 3};
    for (std::size_t length = 0; length <= kGoodSettings.size(); ++length) {
        const std::string prefix = kGoodSettings.substr(0, length);
        std::string error;
        const Settings s = read(prefix, &error);
        const std::string context = "first " + std::to_string(length) + " bytes";
        EXPECT_TRUE(error.empty() || error == "Invalid numeric input") << context;
        expectWithinLimits(s, context);
        EXPECT_EQ(s.savedPort, kGoodSettings.substr(0, std::min<std::size_t>(length, 4)))
            << context;
        // Cut just after a line end: the lines that are there are read, the rest reads as 0.
        if (length > 0 && prefix.back() == '\n') {
            const auto lines = std::count(prefix.begin(), prefix.end(), '\n');
            EXPECT_EQ(error, "") << context;
            EXPECT_EQ(s.timeDivisor, lines > 1 ? 60 : 1) << context;
            EXPECT_EQ(s.frequencyDivisor, lines > 2 ? 1e6 : 1) << context;
            EXPECT_EQ(s.width, lines > 5 ? full.width : 0) << context;
            EXPECT_EQ(s.filterType, lines > 8 ? full.filterType : 255) << context;
        }
    }
}

TEST_F(BadSettingsFile, JunkHugeNumbersNanNegativeSizesAndLongLines) {
    std::mt19937 random(11);
    std::string junk(4096, '\0');
    for (char& c : junk) {
        c = static_cast<char>(random());
    }
    const struct {
        const char* what;
        std::string Bytes;
        double TimeDivisor;
        int Width;
        const char* Error;
    } cases[] = {
        {"binary junk", junk, 1, 1148, "Invalid numeric input"},
        {"junk after the port", "COM1\r\n" + junk, 1, 1148, "Invalid numeric input"},
        {"nan", "P\r\nnan\r\n", 1, 1148, "Invalid numeric input"},
        {"NaN", "P\r\n60\r\nNaN\r\n", 60, 1148, "Invalid numeric input"},
        {"inf", "P\r\ninf\r\n", 1, 1148, "Invalid numeric input"},
        {"huge real", "P\r\n1e99999\r\n1\r\n0\r\n0\r\n800\r\n", 1, 800, ""},
        {"400 digits", "P\r\n1" + std::string(400, '0') + "\r\n1\r\n0\r\n0\r\n800\r\n", 1, 800, ""},
        {"huge integer", "P\r\n60\r\n1\r\n0\r\n0\r\n99999999999999999999\r\n", 60, 1148,
         "Invalid numeric input"},
        {"negative size", "P\r\n60\r\n1\r\n-10\r\n-10\r\n-500\r\n-2147483648\r\n", 60, -500, ""},
        {"long port line", std::string(1 << 20, 'C') + "\r\n60\r\n", 60, 0, ""},
        {"long blank run", "P\r\n" + std::string(1 << 20, ' ') + "60\r\n", 60, 0, ""},
        {"long zero run", "P\r\n" + std::string(1 << 20, '0') + "60\r\n", 60, 0, ""},
        {"NUL bytes count as blanks",
         std::string("P\0\r\n6\0"
                     "0\r\n",
                     10),
         6, 0, ""},
    };
    for (const auto& c : cases) {
        std::string error;
        const Settings s = read(c.Bytes, &error);
        EXPECT_EQ(error, c.Error) << c.what;
        expectWithinLimits(s, c.what);
        EXPECT_EQ(s.timeDivisor, c.TimeDivisor) << c.what;
        EXPECT_EQ(s.width, c.Width) << c.what;
    }
}

class FailingExport : public ::testing::Test {
protected:
    FailingExport() : log('.') {
        for (int i = 0; i < 20000; ++i) {
            log.append(i * 10.0, 10000000.25 + i);
        }
    }
    std::string pathOf(const QString& name) const { return dir.filePath(name).toStdString(); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files); }

    QTemporaryDir dir;
    app::LogModel log;
    const std::string usersFile = "the user's own data\r\n";
};

// Root may write anywhere, so a folder that refuses writes is made with a file-size limit.
TEST_F(FailingExport, AFolderThatRefusesWritesLeavesTheUsersFileWhole) {
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    for (const char* ext : {".dat", ".csv"}) {
        for (rlim_t limit : {rlim_t{0}, rlim_t{10}, rlim_t{100000}}) {
            const std::string name = pathOf(QString("m") + ext);
            writeBytes(name, usersFile);
            rlimit small = old;
            small.rlim_cur = limit;
            setrlimit(RLIMIT_FSIZE, &small);
            const std::string error = app::saveData(name, ext, log, 0, unitedStates);
            setrlimit(RLIMIT_FSIZE, &old);
            EXPECT_EQ(error, "File access denied") << ext << " " << limit;
            EXPECT_EQ(fileBytes(name), usersFile) << ext << " " << limit;
            EXPECT_EQ(files(), QStringList{QString("m") + ext}) << ext << " " << limit;
            QFile::remove(QString::fromStdString(name));
        }
    }
    std::signal(SIGXFSZ, oldHandler);
}

TEST_F(FailingExport, APathThroughAFileIsRefusedAndTheFileStays) {
    writeBytes(pathOf("notes.dat"), usersFile);
    EXPECT_EQ(app::saveData(pathOf("notes.dat/m.dat"), ".dat", log, 0, unitedStates),
              "File access denied");
    EXPECT_EQ(app::saveData(pathOf("notes.dat/m.csv"), ".csv", log, 0, unitedStates),
              "File access denied");
    EXPECT_EQ(fileBytes(pathOf("notes.dat")), usersFile);
    EXPECT_EQ(files(), QStringList{"notes.dat"});
}

TEST_F(FailingExport, ANameWithoutExtensionWritesNothing) {
    QDir(dir.path()).mkdir("my.data");
    for (const char* name : {"measurement", "my.data/measurement", "measurement."}) {
        const std::string path = pathOf(name);
        writeBytes(path, usersFile);
        const std::string extension = app::fileExtension(path);
        EXPECT_EQ(app::saveData(path, extension, log, 0, unitedStates), "") << name;
        EXPECT_EQ(fileBytes(path), usersFile) << name;
    }
    EXPECT_EQ(files(), (QStringList{"measurement", "measurement."}));
    EXPECT_EQ(QDir(dir.filePath("my.data")).entryList(QDir::Files), QStringList{"measurement"});
}

// A tiny file system that fills up during the export.
TEST_F(FailingExport, AFullDiskLeavesTheUsersFilesWhole) {
    const QString mountPoint = dir.filePath("disk");
    QDir(dir.path()).mkdir("disk");
    const std::string point = mountPoint.toStdString();
    if (mount("talvek-test", point.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno)
                     << "); the full-disk case is not run";
    }
    const std::string data = point + "/m.dat";
    const std::string settings = app::settingsFileName(point);
    writeBytes(data, usersFile);
    ASSERT_EQ(app::writeSettings(settings, windowValues()), "");
    const std::string oldSettings = fileBytes(settings);
    // Fill what is left of the disk.
    const std::string filler = point + "/filler";
    writeBytes(filler, std::string(64 * 1024, 'f'));

    const std::string exportError = app::saveData(data, ".dat", log, 0, unitedStates);
    const std::string csvError = app::saveData(point + "/new.csv", ".csv", log, 0, unitedStates);
    Settings changed = windowValues();
    changed.savedPort = "COM12";
    const std::string settingsError = app::writeSettings(settings, changed);
    const QStringList left = QDir(mountPoint).entryList(QDir::Files, QDir::Name);
    const std::string dataAfter = fileBytes(data);
    const std::string settingsAfter = fileBytes(settings);
    umount2(point.c_str(), MNT_DETACH);

    EXPECT_EQ(exportError, "File access denied");
    EXPECT_EQ(csvError, "File access denied");
    EXPECT_EQ(settingsError, "File access denied");
    EXPECT_EQ(dataAfter, usersFile);
    EXPECT_EQ(settingsAfter, oldSettings);
    EXPECT_EQ(left, (QStringList{"Zorvimet.ini", "filler", "m.dat"}));
}

} // namespace
