// SPDX-License-Identifier: GPL-3.0-or-later
// UTC times as text, and the timestamped CSV written and read back: the moments survive to the
// millisecond and the values to the last digit.

#include "recording/measurement_file.h"
#include "recording/measurement_writer.h"
#include "recording/utc_time.h"

#include <QTemporaryDir>
#include <cmath>
#include <ctime>
#include <fstream>
#include <gtest/gtest.h>

namespace {

TEST(UtcTime, TextAndBack) {
    struct Case {
        std::int64_t utcMs;
        const char* text;
    };
    const Case cases[] = {
        {0, "1970-01-01T00:00:00.000Z"},
        {951'782'400'000, "2000-02-29T00:00:00.000Z"}, // a century's leap day
        {1'709'251'199'999, "2024-02-29T23:59:59.999Z"},
        {1'796'775'730'123, "2026-12-09T00:22:10.123Z"},
        {253'402'300'799'999, "9999-12-31T23:59:59.999Z"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(recording::utcText(c.utcMs), c.text);
        EXPECT_EQ(recording::parseUtcText(c.text), c.utcMs) << c.text;
    }
    for (const char* bad :
         {"2026-12-09T00:22:10.123", "2026-12-09 00:22:10.123Z", "2026-02-29T00:00:00.000Z",
          "2026-04-31T00:00:00.000Z", "2026-13-01T00:00:00.000Z", "2026-12-09T24:00:00.000Z",
          "2026-12-09T00:60:00.000Z", "2026-12-09T00:22:10.12Z", "1969-12-31T23:59:59.999Z",
          "2026-12-09T00:22:1x.123Z"}) {
        EXPECT_FALSE(recording::parseUtcText(bad)) << bad;
    }
}

// The machine's local time by the C library, as days since 1899-12-30.
double libcLocalDays(std::int64_t utcMs) {
    const std::time_t seconds = utcMs / 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    std::tm midnight = local;
    midnight.tm_hour = 12; // a day's number by its noon, whatever the offset
    midnight.tm_min = midnight.tm_sec = 0;
    const auto dayNumber = static_cast<double>((timegm(&midnight) / 86400) + 25569);
    const double secondOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    return dayNumber + (secondOfDay * 1000 + static_cast<double>(utcMs % 1000)) / 86'400'000;
}

TEST(UtcTime, LocalDateTimeMapsToTheSameMoment) {
    for (const std::int64_t utcMs : {1'796'775'730'123LL, 1'719'835'200'456LL}) { // winter, summer
        EXPECT_NEAR(recording::localDateTimeOfUtcMs(utcMs), libcLocalDays(utcMs), 1e-9);
        EXPECT_EQ(recording::utcMsOfLocalDateTime(libcLocalDays(utcMs)), utcMs);
    }
    EXPECT_FALSE(recording::utcMsOfLocalDateTime(0)); // no start known
}

TEST(TimestampedCsv, WrittenAndReadBack) {
    const std::vector<recording::MeasurementPoint> readings{
        {0, 10000000.1234567}, {999.6, 9999999.87654321}, {2000, 1.5e-9}, {86'400'000, 10e6}};
    const std::int64_t startUtcMs = 1'796'775'730'123;
    QTemporaryDir dir;
    const std::string path = dir.filePath("run.csv").toStdString();
    ASSERT_EQ(recording::saveMeasurement(
                  path, recording::MeasurementFormat::TimestampedCsv, readings.size(),
                  [&readings](std::size_t i) { return readings[i]; },
                  recording::localDateTimeOfUtcMs(startUtcMs), QLocale(QLocale::German)),
              "");
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("time_utc,value\r\n2026-12-09T00:22:10.123Z,10000000.1234567\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\n2026-12-09T00:22:11.123Z,9999999.87654321\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n2026-12-10T00:22:10.123Z,10000000\r\n"), std::string::npos);

    const recording::MeasurementFile file = recording::readMeasurementFile(path, QLocale::c());
    ASSERT_EQ(file.badLines, 0u);
    EXPECT_TRUE(file.timestamped);
    ASSERT_EQ(file.readings.size(), readings.size());
    for (std::size_t i = 0; i < readings.size(); ++i) {
        EXPECT_EQ(file.readings[i].timeMs, std::round(readings[i].timeMs));
        EXPECT_EQ(file.readings[i].value, readings[i].value);
    }
    ASSERT_TRUE(file.startTime);
    EXPECT_EQ(recording::utcMsOfLocalDateTime(*file.startTime), startUtcMs);
}

TEST(TimestampedCsv, NeedsAKnownStartAndCountsBadLines) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("run.csv").toStdString();
    EXPECT_NE(recording::saveMeasurement(
                  path, recording::MeasurementFormat::TimestampedCsv, 1,
                  [](std::size_t) {
                      return recording::MeasurementPoint{0, 1};
                  },
                  0, QLocale::c()),
              "");
    std::ofstream(path) << "time_utc,value\n2026-12-09T00:22:10.123Z,5\n2026-12-09T00:22:10,6\n"
                           "2026-12-09T00:22:11.123Z;7\n2026-12-09T00:22:09.123Z,8\n";
    const recording::MeasurementFile file = recording::readMeasurementFile(path, QLocale::c());
    EXPECT_EQ(file.badLines, 2u);
    EXPECT_EQ(file.firstBadLine, 3u);
    ASSERT_EQ(file.readings.size(), 2u);
    EXPECT_EQ(file.readings[1].timeMs, -1000);
    EXPECT_EQ(file.firstLineBack, 5u);
}

} // namespace
