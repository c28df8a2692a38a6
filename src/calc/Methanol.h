#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "calc/CalcResult.h"

// The methanol of a gas; a result holds at most one row.
struct GasMethanolRow
{
    std::int32_t id = -1;
    QString name;              // the component's search name
    std::vector<double> conc;  // mg/dm3 per parallel
    double mean = 0.0;         // mg/dm3
    double massConc = 0.0;     // mass %
    double molConc = 0.0;      // mol (volume) %
    double range = 0.0;        // % of the mean
    double norm = 0.0;         // %; 0 when not checked
    double uncertainty = 0.0;  // mg/dm3; 0 when not checked
    bool ok = false;
};

struct GasMethanolResult : CalcResult<GasMethanolRow>
{
    double methanol = 0.0;  // molConc of the row, 0 without one
};

// The methanol of the degassed condensate.
struct CondensateMethanolRow
{
    std::int32_t id = -1;
    QString name;
    std::vector<double> conc;  // mg/dm3 of condensate per parallel
    double mean = 0.0;         // mg/dm3
    double massConc = 0.0;     // mass %
    double range = 0.0;        // % of the mean
    double norm = 0.0;
    double uncertainty = 0.0;  // mg/dm3
    bool ok = false;
};

struct CondensateMethanolResult : CalcResult<CondensateMethanolRow>
{
    double methanol = 0.0;  // massConc of the row, 0 without one
};
