#include "ui/SettingsFieldText.h"

#include "data/Mixtures.h"

#include <QLocale>

QString FormatFieldNumber(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

bool ParseFieldCount(const QString& text, int* value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < 0)
        return false;
    *value = v;
    return true;
}

bool ParseFieldNumber(const QString& text, double* value)
{
    // Read as "Смеси" reads its numbers, so both dialogs take the same texts.
    const std::optional<double> v = ParseMixtureValue(text);
    if (v)
        *value = *v;
    return v.has_value();
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
    return QStringLiteral("Введите число, например 1.5 или 1,5.");
}
