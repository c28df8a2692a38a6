#include "calc/CalcResult.h"

#include "data/Settings.h"

const CSettings& SettingsOrDefaults(const CSettings* settings)
{
    static const CSettings defaults;
    return settings ? *settings : defaults;
}
