#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "calc/CalcResult.h"

// One sulphur compound found in the parallels of a gas or the condensate.
struct SulphurRow
{
    std::int32_t id = -1;
    QString name;                  // the component's search name
    std::vector<double> conc;      // mass % per parallel
    double mean = 0.0;             // of conc, mass %
    double molConc = 0.0;          // mol %, from mean
    double mercaptanSulphur = 0.0; // mass % of sulphur if a mercaptan, else 0
    double range = 0.0;            // ГС: % of the mean; ГД and ДК: mass % absolute
    double norm = 0.0;             // in the unit of range
    double uncertainty = 0.0;      // mass % absolute
    double molarMass = 0.0;        // g/mol
    bool ok = false;
};

struct SulphurResult : CalcResult<SulphurRow>
{
    double mercaptanSulphurTotal = 0.0;  // mass %
    double molConcTotal = 0.0;           // mol %
};
