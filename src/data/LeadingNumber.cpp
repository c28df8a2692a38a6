#include "data/LeadingNumber.h"

#include <cmath>

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

double ParseLeadingDouble(const QString& text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text.at(i).isSpace())
        ++i;
    const qsizetype start = i;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(text.at(i))) {
        ++i;
        ++digits;
    }
    // A comma is a decimal sign too: a value typed into the profile by hand
    // may carry one, as the dialogs accept it.
    qsizetype comma = -1;
    if (i < n && (text.at(i) == QLatin1Char('.') || text.at(i) == QLatin1Char(','))) {
        if (text.at(i) == QLatin1Char(','))
            comma = i;
        ++i;
        while (i < n && isDigit(text.at(i))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    qsizetype end = i;
    // An exponent counts only when at least one digit follows it.
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-')))
            ++j;
        if (j < n && isDigit(text.at(j))) {
            while (j < n && isDigit(text.at(j)))
                ++j;
            end = j;
        }
    }
    QString number = text.mid(start, end - start);
    if (comma >= 0)
        number[comma - start] = QLatin1Char('.');
    bool ok = false;
    const double value = number.toDouble(&ok);  // locale-independent
    return ok && std::isfinite(value) ? value : 0.0;
}
