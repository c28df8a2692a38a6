#include "calc/CalcResult.h"

#include "data/Settings.h"

const CSettings& SettingsOrDefaults(const CSettings* settings)
{
    static const CSettings defaults;
    return settings ? *settings : defaults;
}

QString NotSetText(const QString& prefix, const QString& setting)
{
    return QStringLiteral("%1: Не задан параметр '%2'.").arg(prefix, setting);
}

double Mean(const std::vector<double>& values)
{
    if (values.empty())
        return 0.0;
    double sum = 0.0;
    for (double v : values)
        sum += v;
    return sum / static_cast<double>(values.size());
}
