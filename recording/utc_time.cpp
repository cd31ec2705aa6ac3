// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/utc_time.h"

#include <QDateTime>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace recording {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr std::int64_t kLastMs = 253'402'300'799'999; // 9999-12-31T23:59:59.999Z

// Days since 1970-01-01 of a civil date, and back (Howard Hinnant's algorithms): a file of a
// million lines would spend its time in a calendar library.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void civilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    month = shifted < 10 ? shifted + 3 : shifted - 9;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2);
}

std::optional<unsigned> digits(std::string_view text, std::size_t at, std::size_t count) {
    unsigned value = 0;
    if (text.size() < at + count) {
        return std::nullopt;
    }
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + at + count, value);
    if (error != std::errc() || end != text.data() + at + count) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string utcText(std::int64_t utcMs) {
    const std::int64_t clamped = std::clamp<std::int64_t>(utcMs, 0, kLastMs);
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    civilFromDays(clamped / kMsPerDay, year, month, day);
    const std::int64_t ms = clamped % kMsPerDay;
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02lld:%02lld:%02lld.%03lldZ",
                  static_cast<long long>(year), month, day, static_cast<long long>(ms / 3'600'000),
                  static_cast<long long>(ms / 60'000 % 60), static_cast<long long>(ms / 1000 % 60),
                  static_cast<long long>(ms % 1000));
    return text;
}

std::optional<std::int64_t> parseUtcText(std::string_view text) {
    if (text.size() != 24 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != '.' || text[23] != 'Z') {
        return std::nullopt;
    }
    const auto year = digits(text, 0, 4);
    const auto month = digits(text, 5, 2);
    const auto day = digits(text, 8, 2);
    const auto hour = digits(text, 11, 2);
    const auto minute = digits(text, 14, 2);
    const auto second = digits(text, 17, 2);
    const auto ms = digits(text, 20, 3);
    if (!year || !month || !day || !hour || !minute || !second || !ms || *year < 1970 ||
        *month < 1 || *month > 12 || *day < 1 || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    const std::int64_t days = daysFromCivil(*year, *month, *day);
    std::int64_t checkYear = 0;
    unsigned checkMonth = 0;
    unsigned checkDay = 0;
    civilFromDays(days, checkYear, checkMonth, checkDay);
    if (checkMonth != *month || checkDay != *day) {
        return std::nullopt; // 31 April and the like
    }
    return days * kMsPerDay + ((*hour * 60 + *minute) * 60 + *second) * std::int64_t{1000} + *ms;
}

std::optional<std::int64_t> utcMsOfLocalDateTime(double dateTime) {
    if (!(dateTime >= 25569 && dateTime < 2958466)) { // 1970-01-01 to 9999-12-31
        return std::nullopt;
    }
    const double wholeDays = std::floor(dateTime);
    const auto msOfDay = static_cast<int>(
        std::min<std::int64_t>(std::llround((dateTime - wholeDays) * kMsPerDay), kMsPerDay - 1));
    const QDateTime local(QDate(1899, 12, 30).addDays(static_cast<qint64>(wholeDays)),
                          QTime::fromMSecsSinceStartOfDay(msOfDay), Qt::LocalTime);
    return local.toMSecsSinceEpoch();
}

double localDateTimeOfUtcMs(std::int64_t utcMs) {
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(utcMs, Qt::LocalTime);
    return static_cast<double>(QDate(1899, 12, 30).daysTo(local.date())) +
           local.time().msecsSinceStartOfDay() / static_cast<double>(kMsPerDay);
}

} // namespace recording
