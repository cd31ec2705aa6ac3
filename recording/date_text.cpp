// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/date_text.h"

#include "recording/local_date_text.h"

#include <QDate>
#include <QTime>
#include <cmath>

namespace recording {
namespace {

constexpr qint64 kMsPerDay = 24LL * 60 * 60 * 1000;
// The years a date-time can hold, 1 to 9999: 0001-01-01 and the day after 9999-12-31.
constexpr double kFirstDay = -693593;
constexpr double kEndDay = 2958466;

} // namespace

std::string dateTimeToStr(double dateTime, const QLocale& locale) {
    if (!(dateTime >= kFirstDay && dateTime < kEndDay)) {
        return {};
    }
    // Whole days count from the epoch; the fraction is the time of day, also before the epoch.
    double wholeDays = std::trunc(dateTime);
    qint64 ms = std::llround(std::fabs(dateTime - wholeDays) * kMsPerDay);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        wholeDays += dateTime < 0 ? -1 : 1;
    }
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(wholeDays));
    QString text = locale.toString(date, fourDigitYearDateFormat(locale));
    if (ms != 0) {
        text += u' ' + locale.toString(QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)),
                                       zonelessTimeFormat(locale));
    }
    return text.toUtf8().toStdString();
}

} // namespace recording
