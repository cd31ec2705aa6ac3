#include "app/formats/settings_file.h"

#include "tests/app/file_bytes.h"

#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <limits>
#include <sys/resource.h>

namespace {

using app::TSettings;

// The values a window holds before reading: its designed geometry and unusual masks, so that
// a field the file does not supply is seen to keep its value.
TSettings WindowValues() {
    return TSettings{"COM99", 7, 7, 614, 225, 1148, 574, 5, 6};
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Name() const { return app::SettingsFileName(Dir.path().toStdString()); }

    // Reads `bytes` as the settings file over the window values.
    TSettings Read(const std::string& bytes, std::string* error = nullptr) {
        WriteBytes(Name(), bytes);
        TSettings s = WindowValues();
        const std::string message = app::ReadSettings(Name(), s);
        if (error) {
            *error = message;
        }
        return s;
    }

    QTemporaryDir Dir;
};

TEST_F(SettingsFileTest, NameIsBesideTheExecutable) {
    EXPECT_EQ(app::SettingsFileName("/opt/talvek"), "/opt/talvek/Zorvimet.ini");
    EXPECT_EQ(app::SettingsFileName("/opt/talvek/"), "/opt/talvek/Zorvimet.ini");
    EXPECT_EQ(app::SettingsFileName(""), "");
}

TEST_F(SettingsFileTest, MissingFileKeepsTheWindowAndSetsDefaults) {
    TSettings expected = WindowValues();
    expected.SavedPort = "";
    expected.TimeDivisor = 1;
    expected.FrequencyDivisor = 1;
    for (const std::string& name : {Name(), std::string(), Dir.path().toStdString()}) {
        TSettings s = WindowValues();
        EXPECT_EQ(app::ReadSettings(name, s), "");
        EXPECT_EQ(s, expected);
    }
}

TEST_F(SettingsFileTest, OnlyTheFirstLineGivesZerosMasksOf255AndDivisorsOf1) {
    std::string error = "unset";
    const TSettings s = Read("COM3\r\n", &error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(s, (TSettings{"COM3", 1, 1, 0, 0, 0, 0, 255, 255}));
}

TEST_F(SettingsFileTest, ReadsEveryLine) {
    const TSettings s = Read("COM17\r\n 6.00000000000000E+0001\r\n 1.00000000000000E+0006\r\n"
                             "10\r\n-20\r\n800\r\n600\r\n3\r\n12\r\n");
    EXPECT_EQ(s, (TSettings{"COM17", 60, 1e6, 10, -20, 800, 600, 3, 12}));
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
        const TSettings s = Read(c.Bytes, &error);
        EXPECT_EQ(error, "") << c.Bytes;
        EXPECT_EQ(s.SavedPort, "P") << c.Bytes;
        EXPECT_EQ(s.TimeDivisor, c.TimeDivisor) << c.Bytes;
        EXPECT_EQ(s.FrequencyDivisor, c.FrequencyDivisor) << c.Bytes;
        EXPECT_EQ(s.Left, c.Left) << c.Bytes;
        EXPECT_EQ(s.Top, c.Top) << c.Bytes;
    }
}

TEST_F(SettingsFileTest, PortLineIsTakenWhole) {
    EXPECT_EQ(Read(" COM 3 x\r\n60\r\n").SavedPort, " COM 3 x");
    EXPECT_EQ(Read("\r\n60\r\n").SavedPort, "");
    EXPECT_EQ(Read("").SavedPort, "");
}

TEST_F(SettingsFileTest, DamagedDivisorsFallBackTo1) {
    for (const char* divisor : {"0", "-0", "0.0e5", "1e999", "-1e999", "1e-999"}) {
        const std::string line = std::string(divisor) + "\r\n";
        const TSettings s = Read("P\r\n" + line + line);
        EXPECT_EQ(s.TimeDivisor, 1) << divisor;
        EXPECT_EQ(s.FrequencyDivisor, 1) << divisor;
    }
}

TEST_F(SettingsFileTest, MasksKeepTheirLowEightBitsAndZeroBecomes255) {
    const struct {
        const char* Text;
        int Mask;
    } cases[] = {{"1", 1},     {"255", 255}, {"256", 255}, {"258", 2},
                 {"511", 255}, {"0", 255},   {"-1", 255},  {"$1FE", 254}};
    for (const auto& c : cases) {
        const std::string line = std::string(c.Text) + "\r\n";
        const TSettings s = Read("P\r\n1\r\n1\r\n0\r\n0\r\n500\r\n160\r\n" + line + line);
        EXPECT_EQ(s.FilterShow, c.Mask) << c.Text;
        EXPECT_EQ(s.FilterType, c.Mask) << c.Text;
    }
}

TEST_F(SettingsFileTest, ABadTokenStopsAndKeepsWhatWasRead) {
    const TSettings defaults = WindowValues();
    const struct {
        const char* Bytes;
        double TimeDivisor;
        int Left;
        int Width;
        int FilterShow;
    } cases[] = {
        {"P\r\nsixty\r\n1000\r\n1\r\n", 1, defaults.Left, defaults.Width, defaults.FilterShow},
        {"P\r\n60\r\n1,5\r\n1\r\n", 60, defaults.Left, defaults.Width, defaults.FilterShow},
        {"P\r\n60\r\n1\r\n10\r\n20\r\n1.5\r\n", 60, 10, defaults.Width, defaults.FilterShow},
        {"P\r\n60\r\n1\r\n10\r\n20\r\n30\r\n40\r\n0\r\nall\r\n", 60, 10, 30, 255},
        {"P\r\n60\r\n1\r\n99999999999\r\n", 60, defaults.Left, defaults.Width, defaults.FilterShow},
        {"P\r\n60e\r\n", 1, defaults.Left, defaults.Width, defaults.FilterShow},
        {"P\r\n6.0.0\r\n", 1, defaults.Left, defaults.Width, defaults.FilterShow},
    };
    for (const auto& c : cases) {
        std::string error;
        const TSettings s = Read(c.Bytes, &error);
        EXPECT_EQ(error, "Invalid numeric input") << c.Bytes;
        EXPECT_EQ(s.SavedPort, "P") << c.Bytes;
        EXPECT_EQ(s.TimeDivisor, c.TimeDivisor) << c.Bytes;
        EXPECT_EQ(s.Left, c.Left) << c.Bytes;
        EXPECT_EQ(s.Width, c.Width) << c.Bytes;
        EXPECT_EQ(s.FilterShow, c.FilterShow) << c.Bytes;
    }
}

TEST(SettingsRealText, ScientificWidth23WithFourExponentDigits) {
    const struct {
        double Value;
        const char* Text;
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
        EXPECT_EQ(app::SettingsRealText(c.Value), c.Text) << c.Value;
        EXPECT_EQ(app::SettingsRealText(c.Value).size(), 23u);
    }
}

TEST_F(SettingsFileTest, WritesNineLinesByteForByteAndReadsThemBack) {
    const TSettings s{"COM17", 60, 1e6, -8, 225, 1148, 574, 255, 3};
    WriteBytes(Name(), "an older, longer file that is replaced entirely\r\n\r\n\r\n\r\n\r\n");
    ASSERT_EQ(app::WriteSettings(Name(), s), "");
    EXPECT_EQ(FileBytes(Name()), "COM17\r\n"
                                 " 6.00000000000000E+0001\r\n"
                                 " 1.00000000000000E+0006\r\n"
                                 "-8\r\n225\r\n1148\r\n574\r\n255\r\n3\r\n");
    TSettings back = WindowValues();
    EXPECT_EQ(app::ReadSettings(Name(), back), "");
    EXPECT_EQ(back, s);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{"Zorvimet.ini"});
}

TEST_F(SettingsFileTest, TheLargestDivisorsReadBack) {
    const double largest = std::numeric_limits<double>::max();
    ASSERT_EQ(app::WriteSettings(Name(), TSettings{"P", largest, -largest, 0, 0, 0, 0, 1, 1}), "");
    TSettings back = WindowValues();
    EXPECT_EQ(app::ReadSettings(Name(), back), "");
    EXPECT_EQ(back.TimeDivisor, 1.79769313486231e308);
    EXPECT_EQ(back.FrequencyDivisor, -1.79769313486231e308);
}

TEST_F(SettingsFileTest, WriteFailureIsFileAccessDenied) {
    EXPECT_EQ(app::WriteSettings(Dir.filePath("missing/Zorvimet.ini").toStdString(), TSettings{}),
              "File access denied");
    EXPECT_EQ(app::WriteSettings("", TSettings{}), "File access denied");
}

TEST_F(SettingsFileTest, AWriteThatFailsMidwayLeavesTheOldFileWhole) {
    const std::string good = "COM1\r\n 1.00000000000000E+0000\r\n";
    WriteBytes(Name(), good);
    // A file-size limit makes the write fail part-way, even for a privileged user.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string error = app::WriteSettings(Name(), TSettings{});
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, "File access denied");
    EXPECT_EQ(FileBytes(Name()), good);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{"Zorvimet.ini"});
}

} // namespace
