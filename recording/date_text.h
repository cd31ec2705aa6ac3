// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <string>

namespace recording {

// A date-time (days since 1899-12-30, the fraction is the time of day) as the locale's short date,
// a blank and its long time, in UTF-8; the time is left out when it is exactly midnight.
// The year always shows four digits (a two-digit year cannot tell 1899 from 1999), and the time
// carries no time-zone name, as the value has no zone. A value outside the years 1 to 9999, or
// not a number, has no date: the text is empty.
std::string dateTimeToStr(double dateTime, const QLocale& locale = QLocale::system());

} // namespace recording
