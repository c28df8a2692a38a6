#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "calc/CalcResult.h"

// One component or boiling fraction of the degassed condensate, mass %.
struct CondensateRow
{
    std::int32_t id = -1;      // component id, or a fraction id above 1000000
    QString name;              // search name (C1-C5), component or fraction text (C6-C44)
    std::vector<double> conc;  // mass % per parallel
    double mean = 0.0;         // of conc
    double range = 0.0;        // C1-C5: max − min of conc; C6-C44: % of the mean
    double norm = 0.0;         // 0 when not checked
    double uncertainty = 0.0;  // mass % absolute; 0 when not checked
    bool ok = false;
};

using CondensateResult = CalcResult<CondensateRow>;

// One marker of the condensate temperature scale: a boiling-temperature entry
// with the retention time of its peak.
struct TemperatureRow
{
    std::uint32_t id = 0;
    QString name;              // "С1" .. "С44" for the built-in alkanes
    QString searchName;        // the name its peak was matched by
    double temperature = 0.0;  // °C
    double retentionTime = 0.0;  // min
};

// nParallel is 1; hasError when the temperature chromatogram is missing.
using TemperatureResult = CalcResult<TemperatureRow>;
