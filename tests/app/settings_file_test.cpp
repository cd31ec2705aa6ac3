// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/settings_file.h"
#include "app/formats/settings_place.h"

#include "tests/app/file_bytes.h"

#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using app::Settings;

// The values a window holds before reading: its designed geometry and unusual masks, so that
// a field the file does not supply is seen to keep its value.
Settings windowValues() {
    return Settings{"COM99", 7, 7, 614, 225, 1148, 574, 5, 6};
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Name() const { return app::settingsFileName(dir.path().toStdString()); }

    // Reads `bytes` as the settings file over the window values.
    Settings read(const std::string& bytes, std::string* error = nullptr) {
        writeBytes(Name(), bytes);
        Settings s = windowValues();
        const std::string message = app::readSettings(Name(), s);
        if (error) {
            *error = message;
        }
        return s;
    }

    QTemporaryDir dir;
};

TEST_F(SettingsFileTest, NameIsBesideTheExecutable) {
    EXPECT_EQ(app::settingsFileName("/opt/talvek"), "/opt/talvek/Zorvimet.ini");
    EXPECT_EQ(app::settingsFileName("/opt/talvek/"), "/opt/talvek/Zorvimet.ini");
    EXPECT_EQ(app::settingsFileName(""), "");
}

TEST_F(SettingsFileTest, AReadOnlyProgramFolderKeepsTheSettingsInTheUserConfigFolder) {
    const std::string program = dir.filePath("program").toStdString();
    const std::string config = dir.filePath("config").toStdString();
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(config + "/talvek");
    const std::string beside = program + "/Zorvimet.ini";
    const std::string kept = config + "/talvek/Zorvimet.ini";
    EXPECT_EQ(app::settingsPlace(program).writeFile, beside) << "a writable folder keeps it";
    writeBytes(beside, "COM1\r\n");
    ASSERT_EQ(::chmod(program.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(dir.path().toLocal8Bit().constData(), 0755), 0);
    ASSERT_EQ(::chmod((config + "/talvek").c_str(), 0777), 0);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // Root writes anywhere: look as somebody else, the way an installed program runs.
            const bool asOther = ::getuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
            const app::SettingsPlace shipped = app::settingsPlace(program);
            writeBytes(kept, "COM2\r\n");
            const app::SettingsPlace own = app::settingsPlace(program);
            std::_Exit(asOther && shipped.writeFile == kept && shipped.readFile == beside &&
                               own.readFile == kept
                           ? 0
                           : 1);
        },
        ::testing::ExitedWithCode(0), "");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(SettingsFileTest, OnlyAFolderOfTheUsersOwnOutsideTheSystemKeepsThemBeside) {
    const std::string config = dir.filePath("config").toStdString();
    const std::string own = dir.filePath("own").toStdString();
    const std::string linked = dir.filePath("linked").toStdString();
    std::filesystem::create_directories(own);
    std::filesystem::create_directory_symlink("/usr/bin", linked);
    // A folder the user may write but does not own: root hands one to nobody.
    std::string foreign = "/tmp";
    if (::geteuid() == 0) {
        foreign = dir.filePath("foreign").toStdString();
        std::filesystem::create_directories(foreign);
        ASSERT_EQ(::chmod(foreign.c_str(), 0777), 0);
        ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    }
    struct stat foreignFacts {};
    ASSERT_EQ(::stat(foreign.c_str(), &foreignFacts), 0);
    ASSERT_NE(foreignFacts.st_uid, ::geteuid());
    ASSERT_EQ(::access(foreign.c_str(), W_OK), 0);
    const std::string kept = config + "/talvek/Zorvimet.ini";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const struct {
        std::string folder;
        bool beside;
    } cases[] = {
        {own, true}, {"/usr/bin", false}, {"/opt", false}, {linked, false}, {foreign, false},
    };
    for (const auto& c : cases) {
        const std::string beside = c.folder + "/Zorvimet.ini";
        const app::SettingsPlace place = app::settingsPlace(c.folder);
        EXPECT_EQ(place.writeFile, c.beside ? beside : kept) << c.folder;
        EXPECT_EQ(place.readFile, beside) << c.folder;
    }
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(SettingsFileTest, MissingFileKeepsTheWindowAndSetsDefaults) {
    Settings expected = windowValues();
    expected.savedPort = "";
    expected.timeDivisor = 1;
    expected.frequencyDivisor = 1;
    for (const std::string& name : {Name(), std::string(), dir.path().toStdString()}) {
        Settings s = windowValues();
        EXPECT_EQ(app::readSettings(name, s), "");
        EXPECT_EQ(s, expected);
    }
}

TEST_F(SettingsFileTest, OnlyTheFirstLineGivesZerosMasksOf255AndDivisorsOf1) {
    std::string error = "unset";
    const Settings s = read("COM3\r\n", &error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(s, (Settings{"COM3", 1, 1, 0, 0, 0, 0, 255, 255}));
}

TEST_F(SettingsFileTest, ReadsEveryLine) {
    const Settings s = read("COM17\r\n 6.00000000000000E+0001\r\n 1.00000000000000E+0006\r\n"
                            "10\r\n-20\r\n800\r\n600\r\n3\r\n12\r\n");
    EXPECT_EQ(s, (Settings{"COM17", 60, 1e6, 10, -20, 800, 600, 3, 12}));
}

TEST_F(SettingsFileTest, TokenRules) {
    const struct {
        const char* Bytes;
        double TimeDivisor;
        double FrequencyDivisor;
        int Left;
        int Top;
    } cases[] = {
        // The rest of a number's line is dropped; leading blanks and tabs are skipped.
        {"P\r\n   30 minutes\r\n\t1000 Hz 5\r\n1 2\r\n3\r\n", 30, 1000, 1, 3},
        // Blank lines are skipped while looking for a number, so later numbers move up.
        {"P\r\n\r\n\r\n 60\r\n\r\n3600\r\n", 60, 3600, 0, 0},
        // Plain LF line ends read the same.
        {"P\n60\n1000\n7\n8\n", 60, 1000, 7, 8},
        // Other real forms: a decimal point always, exponents either case, signs.
        {"P\r\n1.5\r\n+2.5e3\r\n", 1.5, 2500, 0, 0},
        {"P\r\n.5\r\n5.\r\n", 0.5, 5, 0, 0},
        {"P\r\n-60\r\n1E-3\r\n", -60, 0.001, 0, 0},
        // A file that ends without a line end.
        {"P\r\n3600", 3600, 1, 0, 0},
    };
    for (const auto& c : cases) {
        std::string error = "unset";
        const Settings s = read(c.Bytes, &error);
        EXPECT_EQ(error, "") << c.Bytes;
        EXPECT_EQ(s.savedPort, "P") << c.Bytes;
        EXPECT_EQ(s.timeDivisor, c.TimeDivisor) << c.Bytes;
        EXPECT_EQ(s.frequencyDivisor, c.FrequencyDivisor) << c.Bytes;
        EXPECT_EQ(s.left, c.Left) << c.Bytes;
        EXPECT_EQ(s.top, c.Top) << c.Bytes;
    }
}

TEST_F(SettingsFileTest, PortLineIsTakenWhole) {
    EXPECT_EQ(read(" COM 3 x\r\n60\r\n").savedPort, " COM 3 x");
    EXPECT_EQ(read("\r\n60\r\n").savedPort, "");
    EXPECT_EQ(read("").savedPort, "");
}

TEST_F(SettingsFileTest, DamagedDivisorsFallBackTo1) {
    for (const char* divisor : {"0", "-0", "0.0e5", "1e999", "-1e999", "1e-999"}) {
        const std::string line = std::string(divisor) + "\r\n";
        const Settings s = read("P\r\n" + line + line);
        EXPECT_EQ(s.timeDivisor, 1) << divisor;
        EXPECT_EQ(s.frequencyDivisor, 1) << divisor;
    }
}

TEST_F(SettingsFileTest, MasksKeepTheirLowEightBitsAndZeroBecomes255) {
    const struct {
        const char* text;
        int mask;
    } cases[] = {{"1", 1},     {"255", 255}, {"256", 255}, {"258", 2},
                 {"511", 255}, {"0", 255},   {"-1", 255},  {"$1FE", 254}};
    for (const auto& c : cases) {
        const std::string line = std::string(c.text) + "\r\n";
        const Settings s = read("P\r\n1\r\n1\r\n0\r\n0\r\n500\r\n160\r\n" + line + line);
        EXPECT_EQ(s.filterShow, c.mask) << c.text;
        EXPECT_EQ(s.filterType, c.mask) << c.text;
    }
}

TEST_F(SettingsFileTest, ABadTokenStopsAndKeepsWhatWasRead) {
    const Settings defaults = windowValues();
    const struct {
        const char* Bytes;
        double TimeDivisor;
        int Left;
        int Width;
        int FilterShow;
    } cases[] = {
        {"P\r\nsixty\r\n1000\r\n1\r\n", 1, defaults.left, defaults.width, defaults.filterShow},
        {"P\r\n60\r\n1,5\r\n1\r\n", 60, defaults.left, defaults.width, defaults.filterShow},
        {"P\r\n60\r\n1\r\n10\r\n20\r\n1.5\r\n", 60, 10, defaults.width, defaults.filterShow},
        {"P\r\n60\r\n1\r\n10\r\n20\r\n30\r\n40\r\n0\r\nall\r\n", 60, 10, 30, 255},
        {"P\r\n60\r\n1\r\n99999999999\r\n", 60, defaults.left, defaults.width, defaults.filterShow},
        {"P\r\n60e\r\n", 1, defaults.left, defaults.width, defaults.filterShow},
        {"P\r\n6.0.0\r\n", 1, defaults.left, defaults.width, defaults.filterShow},
    };
    for (const auto& c : cases) {
        std::string error;
        const Settings s = read(c.Bytes, &error);
        EXPECT_EQ(error, "Invalid numeric input") << c.Bytes;
        EXPECT_EQ(s.savedPort, "P") << c.Bytes;
        EXPECT_EQ(s.timeDivisor, c.TimeDivisor) << c.Bytes;
        EXPECT_EQ(s.left, c.Left) << c.Bytes;
        EXPECT_EQ(s.width, c.Width) << c.Bytes;
        EXPECT_EQ(s.filterShow, c.FilterShow) << c.Bytes;
    }
}

TEST(settingsRealText, ScientificWidth23WithFourExponentDigits) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {60, " 6.00000000000000E+0001"},
        {1e6, " 1.00000000000000E+0006"},
        {1, " 1.00000000000000E+0000"},
        {3600, " 3.60000000000000E+0003"},
        {1e9, " 1.00000000000000E+0009"},
        {0, " 0.00000000000000E+0000"},
        {-2.5, "-2.50000000000000E+0000"},
        {1e-7, " 1.00000000000000E-0007"},
        {1e300, " 1.00000000000000E+0300"},
        {2.0 / 3, " 6.66666666666667E-0001"},
        // Rounded up, the largest doubles would not read back.
        {std::numeric_limits<double>::max(), " 1.79769313486231E+0308"},
        {-1.797693134862315e308, "-1.79769313486231E+0308"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::settingsRealText(c.value), c.text) << c.value;
        EXPECT_EQ(app::settingsRealText(c.value).size(), 23u);
    }
}

TEST_F(SettingsFileTest, WritesNineLinesByteForByteAndReadsThemBack) {
    const Settings s{"COM17", 60, 1e6, -8, 225, 1148, 574, 255, 3};
    writeBytes(Name(), "an older, longer file that is replaced entirely\r\n\r\n\r\n\r\n\r\n");
    ASSERT_EQ(app::writeSettings(Name(), s), "");
    EXPECT_EQ(fileBytes(Name()), "COM17\r\n"
                                 " 6.00000000000000E+0001\r\n"
                                 " 1.00000000000000E+0006\r\n"
                                 "-8\r\n225\r\n1148\r\n574\r\n255\r\n3\r\n");
    Settings back = windowValues();
    EXPECT_EQ(app::readSettings(Name(), back), "");
    EXPECT_EQ(back, s);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Zorvimet.ini"});
}

TEST_F(SettingsFileTest, TheLargestDivisorsReadBack) {
    const double largest = std::numeric_limits<double>::max();
    ASSERT_EQ(app::writeSettings(Name(), Settings{"P", largest, -largest, 0, 0, 0, 0, 1, 1}), "");
    Settings back = windowValues();
    EXPECT_EQ(app::readSettings(Name(), back), "");
    EXPECT_EQ(back.timeDivisor, 1.79769313486231e308);
    EXPECT_EQ(back.frequencyDivisor, -1.79769313486231e308);
}

// The settings are the user's alone, and a link placed at their name is replaced, never
// followed into the file it leads to.
TEST_F(SettingsFileTest, TheFileIsTheUsersAndALinkAtItsNameIsNeverFollowed) {
    const std::string victim = dir.filePath("victim").toStdString();
    writeBytes(victim, "precious");
    ASSERT_EQ(::symlink(victim.c_str(), Name().c_str()), 0);
    ASSERT_EQ(app::writeSettings(Name(), Settings{"COM3", 1, 1, 0, 0, 0, 0, 255, 255}), "");
    EXPECT_EQ(fileBytes(victim), "precious");
    struct stat facts {};
    ASSERT_EQ(::lstat(Name().c_str(), &facts), 0);
    EXPECT_TRUE(S_ISREG(facts.st_mode));
    EXPECT_EQ(facts.st_mode & 07777, 0600u);
}

TEST_F(SettingsFileTest, WriteFailureIsFileAccessDenied) {
    EXPECT_EQ(app::writeSettings(dir.filePath("missing/Zorvimet.ini").toStdString(), Settings{}),
              "File access denied");
    EXPECT_EQ(app::writeSettings("", Settings{}), "File access denied");
}

TEST_F(SettingsFileTest, AWriteThatFailsMidwayLeavesTheOldFileWhole) {
    const std::string good = "COM1\r\n 1.00000000000000E+0000\r\n";
    writeBytes(Name(), good);
    // A file-size limit makes the write fail part-way, even for a privileged user.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string error = app::writeSettings(Name(), Settings{});
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, "File access denied");
    EXPECT_EQ(fileBytes(Name()), good);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Zorvimet.ini"});
}

} // namespace
