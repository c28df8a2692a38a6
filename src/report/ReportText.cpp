#include "report/ReportText.h"

#include "data/GeneralSettings.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>

std::string FormatReportNumberUtf8(double value, int precision)
{
    if (value == 0.0)
        return "0";
    // The unset value would otherwise print as a number of 310 digits.
    if (std::isnan(value) || value == -DBL_MAX)
        return "---";
    precision = precision < 0 ? 6 : std::min(precision, GeneralSettings::MaxDigits);
    // Room for the 309 integer digits of the largest double, sign, point and digits.
    char buffer[DBL_MAX_10_EXP + 4 + GeneralSettings::MaxDigits];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (r.ec != std::errc())
        return "---";
    return std::string(buffer, r.ptr);
}

QString FormatReportNumber(double value, int precision)
{
    return QString::fromStdString(FormatReportNumberUtf8(value, precision));
}

QString FormatReportTime(std::int64_t secondsSinceEpoch)
{
    const QDateTime t = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime);
    return t.isValid() ? t.toString(QStringLiteral("dd.MM.yy  HH:mm")) : QString();
}

QString DefaultReportFileName(const QString& stem, const QDateTime& now)
{
    const QDate d = now.date();
    const QTime t = now.time();
    const QChar zero(u'0');
    return QStringLiteral("%1_%2%3%4_%5%6%7")
        .arg(stem)
        .arg(d.day())
        .arg(d.month(), 2, 10, zero)
        .arg(d.year())
        .arg(t.hour(), 2, 10, zero)
        .arg(t.minute(), 2, 10, zero)
        .arg(t.second(), 2, 10, zero);
}
