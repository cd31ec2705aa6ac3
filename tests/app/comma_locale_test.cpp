// Runs with LC_ALL=de_DE.UTF-8: the machine writes numbers with a decimal comma.
#include "app/formats/data_export.h"
#include "app/formats/float_text.h"
#include "app/formats/settings_file.h"
#include "app/log_model.h"
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

    std::string Path(const char* name) const { return Dir.filePath(name).toStdString(); }

    QTemporaryDir Dir;
};

TEST_F(CommaLocale, LogLinesUseTheMachineSeparator) {
    EXPECT_EQ(app::MachineDecimalSeparator(), ',');
    EXPECT_EQ(app::FloatToStr(10000000.5), "10000000,5");
    EXPECT_EQ(app::FloatToStr(1.5e-6), "1,5E-6");
    app::TLogModel log;
    log.Append(2000, 10000000.5);
    EXPECT_EQ(log.Line(0), "2000        10000000,5");
}

TEST_F(CommaLocale, ExportWritesPointInDatAndCommaInCsv) {
    app::TLogModel log;
    log.Append(2000, 10000000.5);
    log.Append(2500, 1.5e-6);
    ASSERT_EQ(app::SaveData(Path("m.dat"), ".dat", log, 0), "");
    ASSERT_EQ(app::SaveData(Path("m.csv"), ".csv", log, 0), "");
    EXPECT_EQ(FileBytes(Path("m.dat")),
              "/* KELVO counter data: t/ms, f/Hz\r\n/* 30.12.1899\r\n/*\r\n"
              "2000 10000000.5\r\n2500 1.5e-6\r\n");
    EXPECT_EQ(FileBytes(Path("m.csv")), "2000;10000000,5\r\n2500;1,5e-6\r\n");
}

TEST_F(CommaLocale, SettingsFileKeepsTheDecimalPoint) {
    const std::string name = app::SettingsFileName(Dir.path().toStdString());
    app::TSettings s;
    s.TimeDivisor = 1.5;
    s.FrequencyDivisor = 1e6;
    ASSERT_EQ(app::WriteSettings(name, s), "");
    EXPECT_EQ(FileBytes(name).substr(0, 52),
              "\r\n 1.50000000000000E+0000\r\n 1.00000000000000E+0006\r\n");
    app::TSettings back;
    ASSERT_EQ(app::ReadSettings(name, back), "");
    EXPECT_EQ(back.TimeDivisor, 1.5);
    EXPECT_EQ(back.FrequencyDivisor, 1e6);

    WriteBytes(name, "P\r\n1,5\r\n");
    EXPECT_EQ(app::ReadSettings(name, back), "Invalid numeric input");
}

} // namespace
