#include "event_log.h"

namespace kerf {

QString log_time_stamp(const QDateTime& when, const QLocale& names) {
    const QDate date = when.date();
    const QTime time = when.time();
    auto two = [](int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    return names.dayName(date.dayOfWeek(), QLocale::ShortFormat) + QLatin1Char(' ') +
           QString::number(date.day()) + QLatin1Char(' ') +
           names.monthName(date.month(), QLocale::ShortFormat) + QStringLiteral(" at ") +
           two(time.hour()) + QLatin1Char(':') + two(time.minute()) + QLatin1Char(':') +
           two(time.second());
}

QString log_line(const QDateTime& when, const QLocale& names, const QString& message) {
    return log_time_stamp(when, names) + QStringLiteral(" : ") + message;
}

}  // namespace kerf
