#pragma once

#include <QString>

#include <map>
#include <vector>

#include "calc/CalcResult.h"
#include "calc/GasAnalysis.h"
#include "calc/GasCalibration.h"
#include "data/ChromatogramRecord.h"
#include "data/GasComponents.h"
#include "data/Mixtures.h"

class CSettings;
class MessageLog;
class TempComponentTable;

// The calculation blocks of the records, by role; the blocks of one role in
// list order.
using ChromatogramBlocks = std::multimap<int, CalcChromatogram>;

// The separator-gas set. The sulphur-compound and methanol stages take their
// places between the analysis and its check.
struct CalcGs
{
    CalcGsCalibration calibration;
    CalcGsAnalysis analysis;
    CalibrationResult calibrationResult;
    GasAnalysisResult analysisResult;

    // Every result back to empty; each result member belongs here.
    void ClearResults()
    {
        calibrationResult = {};
        analysisResult = {};
    }
};

// The degassing-gas set, the same layout with its own calculators.
struct CalcGd
{
    CalcGdCalibration calibration;
    CalcGdAnalysis analysis;
    CalibrationResult calibrationResult;
    GasAnalysisResult analysisResult;

    // Every result back to empty; each result member belongs here.
    void ClearResults()
    {
        calibrationResult = {};
        analysisResult = {};
    }
};

// Everything a recalculation produces, and the inputs it was made from. The
// main window owns one; the result pages and the report read it through the
// getters (copies) and the set accessors.
class CalcData
{
public:
    CalcData();

    // The catalogue and the boiling-temperature table the calculations read;
    // the program's own tables unless others are given. Not owned.
    void SetReferenceTables(const GasComponentTable& components, const TempComponentTable& temperatures);

    // Rebuilds the blocks and peak lists from the records and runs every stage
    // in its order; every message goes to the log, which the caller clears
    // before. The records must outlive the blocks (until the next call).
    // Null records build no block; null cylinders count as none; null
    // settings read as the defaults.
    void Recalculate(const MixtureList* cylinders, const std::vector<ChromatogramRecord>* records,
                     const CSettings* settings, MessageLog& log);

    // The steps of Recalculate.
    void ResetCalcState();
    // Empties every result of every set, so that a run that fails half-way
    // leaves only its own results (or none), never the previous run's.
    void ClearResults();
    void CheckUnknownPeaks(MessageLog& log);
    // Sums the peaks whose names are exactly the search names of the listed
    // components into one item named groupName at the end of each slot's list.
    void MergeGroupPeaks(const std::vector<int>& slotList, const GasComponentList& components,
                         const QString& groupName);

    GasAnalysisResult GetGsAnalysisResult() const { return m_gs.analysisResult; }
    GasAnalysisResult GetGdAnalysisResult() const { return m_gd.analysisResult; }

    // Read in place (the calibration rows have no getter of their own).
    const CalcGs& gs() const { return m_gs; }
    const CalcGd& gd() const { return m_gd; }
    const ChromatogramBlocks& chromatograms() const { return m_chromatograms; }
    const KnownPeakMap& knownPeaks() const { return m_knownPeaks; }
    const MixtureList* cylinders() const { return m_cylinders; }
    const CSettings* settings() const { return m_settings; }

private:
    ChromatogramBlocks m_chromatograms;
    KnownPeakMap m_knownPeaks;
    CalcGs m_gs;
    CalcGd m_gd;
    // The degassed-condensate and formation-gas sets join here.
    const MixtureList* m_cylinders = nullptr;
    const CSettings* m_settings = nullptr;
    const GasComponentTable* m_components = nullptr;
    const TempComponentTable* m_temperatures = nullptr;
};

// The stages of one gas, in their order; each replaces its result in the set.
void RunGsStages(CalcGs& gs, const MixtureList* cylinders, const KnownPeakMap& peaks,
                 const CSettings* settings, const CalcEnvironment& env);
void RunGdStages(CalcGd& gd, const MixtureList* cylinders, const KnownPeakMap& peaks,
                 const CSettings* settings, const CalcEnvironment& env);
