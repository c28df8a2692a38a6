#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

#include "calc/AccuracyTables.h"
#include "calc/CalcResult.h"
#include "calc/ParallelPeaks.h"

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

class CSettings;
class GeneralSettings;

// The sulphur compounds of one sample: mass % per parallel from the peak
// concentrations and the sample's density, their mean, mole %, mercaptan
// sulphur, and the repeatability against the sample's accuracy table. The
// three samples differ only in the data of Kind and in where the density
// comes from; see CalcGsSulphur, CalcGdSulphur and CalcDcSulphur.
class SulphurCalculator : public ParallelRunCalculator
{
protected:
    struct Kind
    {
        int firstSlot;                        // sulphur run 1
        int GeneralSettings::*countSelector;  // 0: two runs, else three; null: always three
        const AccuracyRow* (*accuracyRow)(double mean);
        AccuracyForm form;                    // a relative table is held to the spread in % of the mean
        QString outOfTableText;               // "%1": the row's name
    };

    // What the sample adds to the shared steps.
    struct Sample
    {
        double density;       // kg/m3 for a gas, g/cm3 for the condensate; 0 leaves every conc 0
        double molarFactor;   // molConc = mean × molarFactor / molar mass
        QStringList zeroErrors;  // the parameters left at 0, named once when there is a row; they flag the result
    };

    explicit SulphurCalculator(Kind kind);

    SulphurResult Run(const KnownPeakMap& peaks, const CSettings* settings, const Sample& sample,
                      const CalcEnvironment& env);

private:
    Kind m_kind;
};

// Separator gas: slots 10..12, always three runs, table 7.7.
class CalcGsSulphur final : public SulphurCalculator
{
public:
    CalcGsSulphur();
    // density: that of the separator-gas analysis, kg/m3.
    SulphurResult Calculate(const KnownPeakMap& peaks, const CSettings* settings, double density,
                            const CalcEnvironment& env);
};

// Degassing gas: slots 24..26, table 8.2.
class CalcGdSulphur final : public SulphurCalculator
{
public:
    CalcGdSulphur();
    SulphurResult Calculate(const KnownPeakMap& peaks, const CSettings* settings, double density,
                            const CalcEnvironment& env);
};

// Degassed condensate: slots 34..36, table 8.8; density and mean molar mass
// from the sampling parameters.
class CalcDcSulphur final : public SulphurCalculator
{
public:
    CalcDcSulphur();
    SulphurResult Calculate(const KnownPeakMap& peaks, const CSettings* settings, const CalcEnvironment& env);
};
