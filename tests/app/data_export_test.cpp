// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/data_export.h"

#include "app/log_model.h"
#include "tests/app/file_bytes.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <limits>
#include <sys/resource.h>

namespace {

const QLocale unitedStates(QLocale::English, QLocale::UnitedStates);
const QLocale german(QLocale::German, QLocale::Germany);

// A date-time value for a local date and time of day.
double dateTime(QDate date, int h, int m, int s) {
    return QDate(1899, 12, 30).daysTo(date) + (h * 3600 + m * 60 + s) / 86400.0;
}

class DataExportTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }

    QTemporaryDir dir;
};

TEST_F(DataExportTest, DatHasHeaderAndPointDecimals) {
    app::LogModel log(',');
    log.append(0, 10000000);
    log.append(2000, 10000000.5);
    log.append(2500, 1.5e-6);
    const double start = dateTime(QDate(2026, 12, 8), 13, 5, 7);
    ASSERT_EQ(app::saveData(path("m.dat"), ".dat", log, start, german), "");
    EXPECT_EQ(fileBytes(path("m.dat")), "/* KELVO counter data: t/ms, f/Hz\r\n"
                                        "/* 08.12.2026 13:05:07\r\n"
                                        "/*\r\n"
                                        "0 10000000\r\n"
                                        "2000 10000000.5\r\n"
                                        "2500 1.5e-6\r\n");
}

TEST_F(DataExportTest, CsvKeepsTheMachineSeparatorAndHasNoHeader) {
    app::LogModel log(',');
    log.append(2000, 10000000.5);
    log.append(2500, 1.5e-6);
    ASSERT_EQ(app::saveData(path("m.csv"), ".csv", log, 0, german), "");
    EXPECT_EQ(fileBytes(path("m.csv")), "2000;10000000,5\r\n2500;1,5e-6\r\n");
}

TEST_F(DataExportTest, DateLineFormats) {
    const struct {
        double startTime;
        QLocale locale;
        const char* line;
    } cases[] = {
        {0, unitedStates, "/* 12/30/1899"},
        {0, german, "/* 30.12.1899"},
        {dateTime(QDate(2026, 12, 8), 0, 0, 0), unitedStates, "/* 12/8/2026"},
        {dateTime(QDate(2026, 12, 8), 13, 5, 7), unitedStates, "/* 12/8/2026 1:05:07 PM"},
        {dateTime(QDate(2026, 1, 2), 0, 0, 1), german, "/* 02.01.2026 00:00:01"},
        // The locale's words are written in UTF-8.
        {dateTime(QDate(2026, 12, 8), 13, 5, 7), QLocale(QLocale::Korean, QLocale::SouthKorea),
         "/* 2026. 12. 8. 오후 1시 5분 7초"},
        {dateTime(QDate(2026, 1, 2), 23, 59, 59), german, "/* 02.01.2026 23:59:59"},
        // Before the epoch the fraction still counts forward from midnight.
        {-1.25, german, "/* 29.12.1899 06:00:00"},
        // The years 1 to 9999 have dates; beyond them, and for no number at all, none.
        {-693593, german, "/* 01.01.0001"},
        {2958465.5, german, "/* 31.12.9999 12:00:00"},
        {2958466, german, "/* "},
        {-693593.5, german, "/* "},
        {1e300, german, "/* "},
        {std::nan(""), german, "/* "},
        {-std::numeric_limits<double>::infinity(), german, "/* "},
    };
    const app::LogModel empty('.');
    for (const auto& c : cases) {
        ASSERT_EQ(app::saveData(path("d.dat"), ".dat", empty, c.startTime, c.locale), "");
        const std::string bytes = fileBytes(path("d.dat"));
        const std::size_t second = bytes.find("\r\n") + 2;
        EXPECT_EQ(bytes.substr(second, bytes.find("\r\n", second) - second), c.line) << c.startTime;
    }
}

TEST_F(DataExportTest, EmptyLogGivesThreeLineDatAndEmptyCsv) {
    const app::LogModel empty('.');
    ASSERT_EQ(app::saveData(path("e.dat"), ".dat", empty, 0, unitedStates), "");
    ASSERT_EQ(app::saveData(path("e.csv"), ".csv", empty, 0, unitedStates), "");
    EXPECT_EQ(fileBytes(path("e.dat")),
              "/* KELVO counter data: t/ms, f/Hz\r\n/* 12/30/1899\r\n/*\r\n");
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("e.csv")));
    EXPECT_EQ(fileBytes(path("e.csv")), "");
}

TEST_F(DataExportTest, OtherExtensionsWriteNothing) {
    app::LogModel log('.');
    log.append(1, 2);
    for (const char* ext : {".DAT", ".Csv", ".txt", "", "dat", ".dat "}) {
        EXPECT_EQ(app::saveData(path("data.DAT"), ext, log, 0, unitedStates), "") << ext;
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(DataExportTest, ReplacesAnExistingFile) {
    writeBytes(path("r.csv"), std::string(1000, 'x'));
    app::LogModel log('.');
    log.append(1, 2);
    ASSERT_EQ(app::saveData(path("r.csv"), ".csv", log, 0, unitedStates), "");
    EXPECT_EQ(fileBytes(path("r.csv")), "1;2\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"r.csv"});
}

TEST_F(DataExportTest, AFileThatCannotBeCreatedIsFileAccessDenied) {
    const app::LogModel empty('.');
    EXPECT_EQ(app::saveData(path("no/such/folder/x.dat"), ".dat", empty, 0, unitedStates),
              "File access denied");
    EXPECT_EQ(app::saveData(dir.path().toStdString(), ".dat", empty, 0, unitedStates),
              "File access denied");
}

TEST_F(DataExportTest, AWriteThatFailsMidwayLeavesTheUsersFileWhole) {
    const std::string good = "1;2\r\n";
    writeBytes(path("big.csv"), good);
    app::LogModel log('.');
    for (int i = 0; i < 20000; ++i) {
        log.append(i, 10000000.25);
    }
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100000; // the export needs about 400 kB
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string error = app::saveData(path("big.csv"), ".csv", log, 0, unitedStates);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, "File access denied");
    EXPECT_EQ(fileBytes(path("big.csv")), good);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"big.csv"});
}

TEST_F(DataExportTest, LongLogsAreWrittenCompletely) {
    app::LogModel log('.');
    constexpr int N = 50000; // several write chunks
    for (int i = 0; i < N; ++i) {
        log.append(i * 10.0, 10000000.5);
    }
    ASSERT_EQ(app::saveData(path("l.dat"), ".dat", log, 0, unitedStates), "");
    const std::string bytes = fileBytes(path("l.dat"));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), N + 3);
    EXPECT_NE(bytes.find("\r\n0 10000000.5\r\n10 10000000.5\r\n"), std::string::npos);
    const std::string last = "\r\n499990 10000000.5\r\n";
    EXPECT_EQ(bytes.substr(bytes.size() - last.size()), last);
}

TEST(fileExtension, FromTheLastDotOfTheName) {
    EXPECT_EQ(app::fileExtension("/tmp/data.dat"), ".dat");
    EXPECT_EQ(app::fileExtension("data.DAT"), ".DAT");
    EXPECT_EQ(app::fileExtension("a.b.csv"), ".csv");
    EXPECT_EQ(app::fileExtension("/tmp/data"), "");
    EXPECT_EQ(app::fileExtension("/tmp/v1.2/data"), "");
    EXPECT_EQ(app::fileExtension("data."), ".");
}

} // namespace
