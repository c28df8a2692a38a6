#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <string>

// The text forms of the report's values. None of them depends on the
// machine's locale, and none of them fails.

// "0" for a value equal to zero (negative zero too); "---" for the unset
// value (the most negative double) and for NaN, as the screen shows them;
// otherwise "%.*f" with "." as the separator. A negative digit count means
// six digits, as in "%.*f"; more than GeneralSettings::MaxDigits are taken as
// that many.
QString FormatReportNumber(double value, int precision);
// The same text as UTF-8 bytes, for the document writer.
std::string FormatReportNumberUtf8(double value, int precision);

// A time (seconds since 1970) in local time as "dd.mm.yy  HH:MM", two blanks
// between date and time. A time that the calendar cannot place gives an
// empty text.
QString FormatReportTime(std::int64_t secondsSinceEpoch);

// The name proposed when a report is saved: the stem, "_", the day without a
// leading zero, the month with two digits and the four-digit year, "_", then
// hours, minutes and seconds with two digits each, all read from `now`.
QString DefaultReportFileName(const QString& stem, const QDateTime& now);
