#include "ui/SettingsFieldText.h"

#include <QLocale>

#include <cmath>

QString FormatFieldNumber(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

bool ParseFieldInteger(const QString& text, int* value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok)
        *value = v;
    return ok;
}

bool ParseFieldNumber(const QString& text, double* value)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);  // locale-independent
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

QString FieldMessage(const QString& caption, const QString& group, const QString& reason)
{
    QString name = caption.trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    QString field = QStringLiteral("«%1»").arg(name);
    if (!group.isEmpty())
        field += QStringLiteral(" (%1)").arg(group);
    return field + QLatin1Char('\n') + reason;
}

QString EnterAnIntegerText()
{
    return QStringLiteral("Введите целое число.");
}

QString EnterANumberText()
{
    return QStringLiteral("Введите число.");
}
