// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <optional>
#include <string_view>

namespace recording {

// The formats in which the program writes a date-time for the user (the second header line of a
// .dat file): the locale's short date with the year in four digits, and its long time without a
// time-zone name.
QString fourDigitYearDateFormat(const QLocale& locale);
QString zonelessTimeFormat(const QLocale& locale);

// The date-time (days since 1899-12-30, the fraction the time of day) of UTF-8 text in those
// formats: the date, a blank and the time, or the date alone for midnight. Nothing when the text
// does not read so in this locale.
std::optional<double> parseLocalDateTime(std::string_view text, const QLocale& locale);

} // namespace recording
