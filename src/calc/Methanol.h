#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

#include "calc/AccuracyTables.h"
#include "calc/CalcResult.h"
#include "calc/ParallelPeaks.h"

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

class CSettings;
class GeneralSettings;

// The methanol content of one sample from the methanol peak of its aqueous
// parallels, mg/dm3, its mass (and for a gas mole) fraction, and the
// repeatability against the sample's accuracy table. The three samples share
// every step; they differ in the data of Kind and in the sampling parameters
// their Calculate reads. See CalcGsMethanol, CalcGdMethanol, CalcDcMethanol.
class MethanolCalculator : public ParallelRunCalculator
{
protected:
    struct Kind
    {
        int firstSlot;                        // methanol run 1
        int GeneralSettings::*countSelector;  // 0: two runs, else three
        QString missingText;                  // "%1": slot name, "%2": row name
        QString outOfTableText;               // "%1": row name
        // The table's values at the mean, or nothing outside its ranges.
        std::optional<AccuracyValues> (*accuracy)(double mean);
    };

    // What the sample's settings give the shared steps.
    struct Sample
    {
        double liquidVolume;    // one parallel: liquidVolume × C / sampleVolume
        double sampleVolume;    // with its unit factor; 0 leaves every parallel 0
        double density;         // ρ; 0 leaves the fractions 0
        double densityScale;    // mass % = mean × 100 / (ρ × densityScale)
        QStringList zeroErrors; // one per setting a division needs that is not set; they flag the result
    };

    explicit MethanolCalculator(Kind kind);

    // Steps shared by the three; Result is GasMethanolResult or
    // CondensateMethanolResult.
    template <typename Result>
    Result Run(const KnownPeakMap& peaks, const CSettings* settings, const Sample& sample, const CalcEnvironment& env);

private:
    Kind m_kind;
};

// Separator gas: slots 13..15, table 7.10 of the separator gas.
class CalcGsMethanol final : public MethanolCalculator
{
public:
    CalcGsMethanol();
    // density: that of the separator-gas analysis, kg/m3.
    GasMethanolResult Calculate(const KnownPeakMap& peaks, const CSettings* settings, double density,
                                const CalcEnvironment& env);
};

// Degassing gas: slots 27..29, table 7.10 of the degassing gas.
class CalcGdMethanol final : public MethanolCalculator
{
public:
    CalcGdMethanol();
    GasMethanolResult Calculate(const KnownPeakMap& peaks, const CSettings* settings, double density,
                                const CalcEnvironment& env);
};

// Degassed condensate: slots 37..39, table 8.9; the water extract of a
// condensate volume, whose density turns mg/dm3 into mass %.
class CalcDcMethanol final : public MethanolCalculator
{
public:
    CalcDcMethanol();
    CondensateMethanolResult Calculate(const KnownPeakMap& peaks, const CSettings* settings,
                                       const CalcEnvironment& env);
};
