// SPDX-License-Identifier: GPL-3.0-or-later
// Runs with LC_ALL=de_DE.UTF-8: the machine writes numbers with a decimal comma.
#include "app/formats/data_export.h"
#include "app/formats/settings_file.h"
#include "app/log_model.h"
#include "recording/float_text.h"
#include "tests/app/file_bytes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QLocale::system().decimalPoint(), QString(","))
            << "run with LC_ALL=de_DE.UTF-8 (ctest sets it)";
    }

    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }

    QTemporaryDir dir;
};

TEST_F(CommaLocale, LogLinesUseTheMachineSeparator) {
    EXPECT_EQ(recording::machineDecimalSeparator(), ',');
    EXPECT_EQ(recording::floatToStr(10000000.5), "10000000,5");
    EXPECT_EQ(recording::floatToStr(1.5e-6), "1,5E-6");
    app::LogModel log;
    log.append(2000, 10000000.5);
    EXPECT_EQ(log.line(0), "2000        10000000,5");
}

TEST_F(CommaLocale, ExportWritesPointInDatAndCommaInCsv) {
    app::LogModel log;
    log.append(2000, 10000000.5);
    log.append(2500, 1.5e-6);
    ASSERT_EQ(app::saveData(path("m.dat"), ".dat", log, 0), "");
    ASSERT_EQ(app::saveData(path("m.csv"), ".csv", log, 0), "");
    EXPECT_EQ(fileBytes(path("m.dat")),
              "/* KELVO counter data: t/ms, f/Hz\r\n/* 30.12.1899\r\n/*\r\n"
              "2000 10000000.5\r\n2500 1.5e-6\r\n");
    EXPECT_EQ(fileBytes(path("m.csv")), "2000;10000000,5\r\n2500;1,5e-6\r\n");
}

TEST_F(CommaLocale, SettingsFileKeepsTheDecimalPoint) {
    const std::string name = app::settingsFileName(dir.path().toStdString());
    app::Settings s;
    s.timeDivisor = 1.5;
    s.frequencyDivisor = 1e6;
    ASSERT_EQ(app::writeSettings(name, s), "");
    EXPECT_EQ(fileBytes(name).substr(0, 52),
              "\r\n 1.50000000000000E+0000\r\n 1.00000000000000E+0006\r\n");
    app::Settings back;
    ASSERT_EQ(app::readSettings(name, back), "");
    EXPECT_EQ(back.timeDivisor, 1.5);
    EXPECT_EQ(back.frequencyDivisor, 1e6);

    writeBytes(name, "P\r\n1,5\r\n");
    EXPECT_EQ(app::readSettings(name, back), "Invalid numeric input");
}

} // namespace
