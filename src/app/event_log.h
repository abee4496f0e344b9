#pragma once
// The time stamp of a log line: abbreviated day name, day of the month without a leading
// zero, abbreviated month name, " at ", hours, minutes and seconds with ":".
// Example with English names: "Tue 3 Dec at 14:05:09".

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace kerf {

// names: the locale that gives the day and month names (the system's in the program).
QString log_time_stamp(const QDateTime& when, const QLocale& names);

// A whole log line: time stamp, " : ", message.
QString log_line(const QDateTime& when, const QLocale& names, const QString& message);

}  // namespace kerf
