// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/local_date_text.h"

#include <QDate>
#include <QTime>

namespace recording {
namespace {

constexpr double kMsPerDay = 24.0 * 60 * 60 * 1000;

// Rewrites the unquoted letter runs of a date/time format: `rewrite(letter, run length, run)`
// gives the replacement of each run.
template <typename Rewrite> QString rewriteFormat(const QString& format, Rewrite rewrite) {
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            quoted = !quoted;
            result += c;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (!quoted && i + run < format.size() && format.at(i + run) == c) {
            ++run;
        }
        result += quoted ? QString(c) : rewrite(c, run, format.mid(i, run));
        i += run;
    }
    return result;
}

// Whole days count from 1899-12-30; before it the time of day still counts forward from the
// day's start, so it is subtracted from the (negative) day number.
double dateTimeValue(const QDate& date, const QTime& time) {
    const auto days = static_cast<double>(QDate(1899, 12, 30).daysTo(date));
    const double fraction = time.msecsSinceStartOfDay() / kMsPerDay;
    return days < 0 ? days - fraction : days + fraction;
}

} // namespace

QString fourDigitYearDateFormat(const QLocale& locale) {
    return rewriteFormat(locale.dateFormat(QLocale::ShortFormat),
                         [](QChar c, qsizetype run, const QString& text) {
                             return c == u'y' && run == 2 ? QStringLiteral("yyyy") : text;
                         });
}

QString zonelessTimeFormat(const QLocale& locale) {
    const QString format = rewriteFormat(
        locale.timeFormat(QLocale::LongFormat),
        [](QChar c, qsizetype, const QString& text) { return c == u't' ? QString() : text; });
    return format.trimmed();
}

std::optional<double> parseLocalDateTime(std::string_view text, const QLocale& locale) {
    const QString all = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QString dateFormat = fourDigitYearDateFormat(locale);
    if (const QDate date = locale.toDate(all, dateFormat); date.isValid()) {
        return dateTimeValue(date, QTime(0, 0));
    }
    // The date format may hold blanks itself: try each blank as the one between date and time.
    // Date and time are read apart, as written, so no time zone shifts them.
    const QString timeFormat = zonelessTimeFormat(locale);
    for (qsizetype blank = all.indexOf(u' '); blank >= 0; blank = all.indexOf(u' ', blank + 1)) {
        const QDate date = locale.toDate(all.left(blank), dateFormat);
        const QTime time = locale.toTime(all.mid(blank + 1), timeFormat);
        if (date.isValid() && time.isValid()) {
            return dateTimeValue(date, time);
        }
    }
    return std::nullopt;
}

} // namespace recording
