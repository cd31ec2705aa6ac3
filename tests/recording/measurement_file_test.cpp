// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/measurement_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using recording::MeasurementPoint;
using recording::parseMeasurementText;

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

std::string datHeader(const std::string& date, const std::string& lineEnd) {
    return "/* KELVO counter data: t/ms, f/Hz" + lineEnd + "/* " + date + lineEnd + "/*" + lineEnd;
}

bool sameReadings(const std::vector<MeasurementPoint>& a, const std::vector<MeasurementPoint>& b) {
    const auto bits = [](double x) { return std::bit_cast<std::uint64_t>(x); };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](const auto& p, const auto& q) {
        return bits(p.timeMs) == bits(q.timeMs) && bits(p.value) == bits(q.value);
    });
}

// Files as the program saves them: ".dat" with "." in the value, ".csv" with the machine's
// separator, both with CR LF; and the same with LF endings and the other separator.
TEST(MeasurementFile, ReadsBothFormatsWithEitherSeparatorAndLineEnding) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<std::string, std::string>> lines = {
        {"0", "10000000.5"}, {"1000", "1.5e-6"},
        {"2000", "-3"},      {"3000", "nan"},
        {"4000", "inf"},     {"5000", "-inf"},
        {"6000", "1e20"},    {"7000", "1.79769313486232e308"},
        {"8000", "0.25"},    {"1e20", "7"},
        {"1.5e16", "2E-3"}};
    const std::vector<MeasurementPoint> expected = {
        {0, 10000000.5}, {1000, 1.5e-6},
        {2000, -3},      {3000, std::numeric_limits<double>::quiet_NaN()},
        {4000, inf},     {5000, -inf},
        {6000, 1e20},    {7000, inf},
        {8000, 0.25},    {1e20, 7},
        {1.5e16, 2e-3}};
    for (const bool dat : {true, false}) {
        for (const char separator : {'.', ','}) {
            for (const std::string lineEnd : {"\r\n", "\n"}) {
                std::string text = dat ? datHeader("3/15/2023 12:00:00 PM", lineEnd) : "";
                for (const auto& [time, value] : lines) {
                    std::string line = time + (dat ? ' ' : ';') + value;
                    std::replace(line.begin(), line.end(), '.', separator);
                    text += line + lineEnd;
                }
                SCOPED_TRACE(text);
                const recording::MeasurementFile file = parseMeasurementText(text, kUs);
                EXPECT_TRUE(sameReadings(file.readings, expected));
                EXPECT_EQ(file.badLines, 0u);
                EXPECT_EQ(file.hasHeader, dat);
                EXPECT_EQ(file.startTime, dat ? std::optional<double>(45000.5) : std::nullopt);
                EXPECT_EQ(recording::measurementFileReportText(file), "");
            }
        }
    }
}

TEST(MeasurementFile, StartTimeIsReadInTheMachinesFormat) {
    const double time = (2 * 3600 + 57 * 60 + 46) / 86400.0;
    struct Case {
        QLocale locale;
        std::string date;
        std::optional<double> startTime;
    };
    const Case cases[] = {
        {kUs, "1/21/2025 2:57:46 AM", 45678 + time},
        {kUs, "1/21/2025 2:57:46 PM", 45678.5 + time},
        {kGerman, "21.01.2025 02:57:46", 45678 + time},
        {kGerman, "21.01.2025", 45678},
        {kGerman, "30.12.1899", 0},
        {kGerman, "29.12.1899 06:00:00", -1.25},
        {QLocale(QLocale::French, QLocale::France), "21/01/2025 02:57:46", 45678 + time},
        {QLocale::c(), "21 Jan 2025 02:57:46", 45678 + time},
        {kUs, "21.01.2025 02:57:46", std::nullopt},
        {kGerman, "1/21/2025 2:57:46 AM", std::nullopt},
        {kUs, "1/21/2025 2:57:46 AM trailing", std::nullopt},
        // The header is UTF-8, as the program writes it.
        {QLocale(QLocale::Japanese, QLocale::Japan), "2025/01/21 2時57分46秒", 45678 + time},
        {QLocale(QLocale::Korean, QLocale::SouthKorea), "2025. 1. 21. 오후 2시 57분 46초",
         45678.5 + time},
        {QLocale(QLocale::Japanese, QLocale::Japan), "2025/01/21 2?57?46?", std::nullopt},
        {kUs, "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        const recording::MeasurementFile file =
            parseMeasurementText(datHeader(c.date, "\r\n") + "5 6\r\n", c.locale);
        ASSERT_EQ(file.startTime.has_value(), c.startTime.has_value());
        if (c.startTime) {
            EXPECT_NEAR(*file.startTime, *c.startTime, 1e-9);
        }
        EXPECT_EQ(file.startTimeText, c.date);
        EXPECT_EQ(file.readings.size(), 1u);
        const std::string report = recording::measurementFileReportText(file);
        if (c.startTime) {
            EXPECT_EQ(report, "");
        } else {
            EXPECT_NE(report.find(c.date.empty() ? "no start time" : '"' + c.date + '"'),
                      std::string::npos)
                << report;
        }
    }
}

TEST(MeasurementFile, BadLinesAreCountedNeverGuessed) {
    const std::pair<std::string, bool> cases[] = {
        {"7 8", true},     {"7 nan", true},    {"-7 -8.5e+3", true},
        {"7 INF", true},   {"", false},        {"7", false},
        {"7  8", false},   {"7 8 9", false},   {" 7 8", false},
        {"7 8 ", false},   {"7\t8", false},    {"7 8x", false},
        {"7 0x10", false}, {"7 1.2.3", false}, {"7 1,5,5", false},
        {"7 .5", false},   {"7 5.", false},    {"7 1e", false},
        {"7 e5", false},   {"7 -", false},     {"7 -nan", false},
        {"7 +8", false},   {"/* late", false}, {"7 1 000", false},
        {"7;8", false},    {"7 8\r\r", false}, {std::string("7 8\0", 4), false},
    };
    for (const auto& [line, good] : cases) {
        for (const bool dat : {true, false}) {
            std::string body = line;
            if (!dat) {
                std::replace(body.begin(), body.end(), ' ', '\x01');
                std::replace(body.begin(), body.end(), ';', ' ');
                std::replace(body.begin(), body.end(), '\x01', ';');
            }
            const std::string text = (dat ? datHeader("", "\r\n") : "") + "1" + (dat ? " " : ";") +
                                     "2\r\n" + body + "\r\n3" + (dat ? " " : ";") + "4\r\n";
            SCOPED_TRACE(text);
            const recording::MeasurementFile file = parseMeasurementText(text, kUs);
            EXPECT_EQ(file.readings.size(), good ? 3u : 2u);
            EXPECT_EQ(file.badLines, good ? 0u : 1u);
            EXPECT_EQ(file.firstBadLine, good ? 0u : dat ? 5u : 2u);
            if (!good) {
                EXPECT_NE(recording::measurementFileReportText(file).find(
                              "1 line is no reading and was left out, the first is line " +
                              std::to_string(file.firstBadLine) + "."),
                          std::string::npos);
            }
        }
    }
}

// Read in pieces, a file gives what its whole text gives, across the pieces' borders.
TEST(MeasurementFile, LongFileReadsAsItsWholeText) {
    QTemporaryDir dir;
    std::string text = datHeader("15.03.2023 12:00:00", "\n");
    for (int i = 0; i < 150000; ++i) {
        text += std::to_string(i * 100) + ' ' + std::to_string(10000000 + i % 977) +
                (i % 3 ? ".25" : "") + (i % 2 ? "\r\n" : "\n");
        if (i % 50000 == 49999) {
            text += "broken line\n";
        }
    }
    const QString path = dir.filePath("long.dat");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text.data(), static_cast<qint64>(text.size()));
    out.close();
    const recording::MeasurementFile whole = parseMeasurementText(text, kGerman);
    const recording::MeasurementFile file =
        recording::readMeasurementFile(path.toStdString(), kGerman);
    EXPECT_EQ(file.readings.size(), 150000u);
    EXPECT_TRUE(sameReadings(file.readings, whole.readings));
    EXPECT_EQ(file.badLines, 3u);
    EXPECT_EQ(file.firstBadLine, 50004u);
    EXPECT_EQ(file.startTime, 45000.5);
    EXPECT_EQ(file.error, "");
}

TEST(MeasurementFile, MissingFileIsReported) {
    const recording::MeasurementFile file =
        recording::readMeasurementFile("/nonexistent/x.dat", kUs);
    EXPECT_TRUE(file.readings.empty());
    EXPECT_EQ(recording::measurementFileReportText(file),
              "The file could not be read: No such file or directory.");
}

} // namespace
