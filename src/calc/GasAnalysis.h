#pragma once

#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

#include "calc/CalcResult.h"
#include "calc/GasCalibration.h"
#include "data/ChromatogramRecord.h"

class CSettings;
class GasComponentTable;
class GeneralSettings;
class MessageLog;
class SamplingParameters;

// One component of a gas analysis, mol %.
struct GasAnalysisRow
{
    std::int32_t id = -1;
    QString name;                    // the name its peaks were taken by
    std::vector<double> rawConc;     // area × Kavr per parallel
    std::vector<double> normConc;    // rawConc normalised to 100 % within its parallel
    std::vector<double> finalConc;   // normConc less the sulphur and methanol shares (the check)
    double mean = 0.0;               // of finalConc (the check)
    double range = 0.0;              // spread of finalConc, % of the mean (the check)
    double norm = 0.0;               // repeatability limit, %; 0 when not checked
    double uncertainty = 0.0;        // expanded uncertainty, mol %; 0 when not checked
    bool ok = false;                 // range within norm (the check)
};

// nParallel is 2 or 3; hasError stays false.
struct GasAnalysisResult : CalcResult<GasAnalysisRow>
{
    double density = 0.0;  // kg/m3 at 293.15 K
};

// {component search name, mole fraction} pairs.
using GasComposition = std::vector<std::pair<QString, double>>;

// The composition of one gas from its parallel analyses and the factors of
// its calibration. The two gases differ only in the data of Kind; see
// CalcGsAnalysis and CalcGdAnalysis.
class GasAnalysisCalculator
{
public:
    // calibrationRows: a copy of the same gas's calibration rows, in their
    // order. A null settings pointer reads as the defaults.
    GasAnalysisResult Calculate(const KnownPeakMap& peaks, const CSettings* settings,
                                std::vector<CalibrationRow> calibrationRows, const CalcEnvironment& env);

    // Takes the air's nitrogen (3.73 × oxygen) off the nitrogen peak of each
    // run in the working lists.
    void CorrectNitrogen(const CalcEnvironment& env);

    // Density in kg/m3 of a composition at the pressure in kPa and 293.15 K;
    // names not in the catalogue add nothing.
    double CalcDensity(GasComposition composition, double pressure, const GasComponentTable& components) const;

    double R() const { return m_R; }
    void ResetWorkingPeaks() { m_working.clear(); }
    const WorkingPeakMap& workingPeaks() const { return m_working; }
    const CSettings* settings() const { return m_settings; }

protected:
    struct Kind
    {
        QString prefix;  // "ГС Анализ"
        int firstSlot;   // analysis run 1
        int GeneralSettings::*countSelector;  // 0: two runs, else three
        int GeneralSettings::*nitrogenSwitch;
        double SamplingParameters::*pressure;  // kPa
    };

    explicit GasAnalysisCalculator(Kind kind);

private:
    Kind m_kind;
    WorkingPeakMap m_working;
    double m_R = 8.31451;  // J/(mol·K)
    const CSettings* m_settings = nullptr;
};

// Separator gas: slots 2..4.
class CalcGsAnalysis final : public GasAnalysisCalculator
{
public:
    CalcGsAnalysis();
};

// Degassing gas: slots 16..18.
class CalcGdAnalysis final : public GasAnalysisCalculator
{
public:
    CalcGdAnalysis();
};

// The final concentrations, less the sulphur-compound share S (mol %) and
// the methanol share M, and their repeatability: the separator gas against
// the calibration table by component, the degassing gas against its table
// by concentration. Change the result in place.
void CheckGsAnalysis(GasAnalysisResult& result, double S, double M, MessageLog& log);
void CheckGdAnalysis(GasAnalysisResult& result, double S, double M, MessageLog& log);
