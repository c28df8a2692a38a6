#pragma once

#include <QString>

#include <map>
#include <vector>

#include "calc/CalcResult.h"
#include "calc/CompFract.h"
#include "calc/FormationGas.h"
#include "calc/GasAnalysis.h"
#include "calc/GasCalibration.h"
#include "calc/CondensateC1C5.h"
#include "calc/CondensateC6C44.h"
#include "calc/CondensateRow.h"
#include "calc/CondensateTemperature.h"
#include "calc/Methanol.h"
#include "calc/PgResults.h"
#include "calc/SulphurCompounds.h"
#include "data/ChromatogramRecord.h"
#include "data/GasComponents.h"
#include "data/Mixtures.h"

class CSettings;
class MessageLog;
class TempComponentTable;

// The calculation blocks of the records, by role; the blocks of one role in
// list order.
using ChromatogramBlocks = std::multimap<int, CalcChromatogram>;

// One gas's set: the calculators in stage order, then their results. The
// separator gas and the degassing gas differ only in their calculators.
template <typename Calibration, typename Analysis, typename Sulphur, typename Methanol>
struct GasCalcSet
{
    Calibration calibration;
    Analysis analysis;
    Sulphur sulphur;
    Methanol methanol;
    CalibrationResult calibrationResult;
    GasAnalysisResult analysisResult;
    SulphurResult sulphurResult;
    GasMethanolResult methanolResult;

    // Every result back to empty; each result member belongs here.
    void ClearResults()
    {
        calibrationResult = {};
        analysisResult = {};
        sulphurResult = {};
        methanolResult = {};
    }
};

struct CalcGs : GasCalcSet<CalcGsCalibration, CalcGsAnalysis, CalcGsSulphur, CalcGsMethanol>
{
};

struct CalcGd : GasCalcSet<CalcGdCalibration, CalcGdAnalysis, CalcGdSulphur, CalcGdMethanol>
{
};

// The degassed-condensate set.
struct CalcDc
{
    CalcDcC1C5 c1c5;
    CalcDcTemperature temperature;
    CalcDcSulphur sulphur;
    CalcDcMethanol methanol;
    CalcDcC6C44Fractions fractions;
    CalcDcC6C44Groups groups;
    CondensateResult c1c5Result;
    TemperatureResult temperatureResult;
    SulphurResult sulphurResult;
    CondensateMethanolResult methanolResult;
    CondensateResult fractionsResult;
    CondensateResult groupsResult;

    // Every result back to empty; each result member belongs here.
    void ClearResults()
    {
        c1c5Result = {};
        temperatureResult = {};
        sulphurResult = {};
        methanolResult = {};
        fractionsResult = {};
        groupsResult = {};
    }
};

// The formation-gas set.
struct CalcPg
{
    CalcPgMethod1 method1;
    CalcPgMethod2 method2;
    CalcPgCompFract1 compFract1;
    CalcPgCompFract2 compFract2;
    CalcPgMethod1Result method1Result;
    PgSulphurResult sulphurSummary;
    CalcPgMethod2Result method2Result;
    CompFractResult compFract1Result;
    CompFractResult compFract2Result;

    // Every result back to empty; each result member belongs here.
    void ClearResults()
    {
        method1Result = {};
        sulphurSummary = {};
        method2Result = {};
        compFract1Result = {};
        compFract2Result = {};
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
    // A member held by two runs of one slot (two instruments) is summed twice;
    // the sum is kept and a warning names the member and the runs.
    void MergeGroupPeaks(const std::vector<int>& slotList, const GasComponentList& components,
                         const QString& groupName, MessageLog& log);

    GasAnalysisResult GetGsAnalysisResult() const { return m_gs.analysisResult; }
    SulphurResult GetGsSulphurResult() const { return m_gs.sulphurResult; }
    GasMethanolResult GetGsMethanolResult() const { return m_gs.methanolResult; }
    GasAnalysisResult GetGdAnalysisResult() const { return m_gd.analysisResult; }
    SulphurResult GetGdSulphurResult() const { return m_gd.sulphurResult; }
    GasMethanolResult GetGdMethanolResult() const { return m_gd.methanolResult; }
    CondensateResult GetDcC1C5Result() const { return m_dc.c1c5Result; }
    TemperatureResult GetCalibrationCurve() const { return m_dc.temperatureResult; }
    SulphurResult GetDcSulphurResult() const { return m_dc.sulphurResult; }
    CondensateMethanolResult GetDcMethanolResult() const { return m_dc.methanolResult; }
    CondensateResult GetDcC6C44FractionsResult() const { return m_dc.fractionsResult; }
    CondensateResult GetDcC6C44GroupsResult() const { return m_dc.groupsResult; }
    CalcPgMethod1Result GetPgMethod1Result() const;
    CalcPgMethod2Result GetPgMethod2Result() const { return m_pg.method2Result; }
    CompFractResult GetPgCompFract1Result() const { return m_pg.compFract1Result; }
    CompFractResult GetPgCompFract2Result() const { return m_pg.compFract2Result; }

    // Read in place: the calibration rows and the sulphur summary have no
    // getter of their own.
    const CalcGs& gs() const { return m_gs; }
    const CalcGd& gd() const { return m_gd; }
    const CalcDc& dc() const { return m_dc; }
    const CalcPg& pg() const { return m_pg; }
    const ChromatogramBlocks& chromatograms() const { return m_chromatograms; }
    const KnownPeakMap& knownPeaks() const { return m_knownPeaks; }
    const MixtureList* cylinders() const { return m_cylinders; }
    const CSettings* settings() const { return m_settings; }

private:
    ChromatogramBlocks m_chromatograms;
    KnownPeakMap m_knownPeaks;
    CalcGs m_gs;
    CalcGd m_gd;
    CalcDc m_dc;
    CalcPg m_pg;
    const MixtureList* m_cylinders = nullptr;
    const CSettings* m_settings = nullptr;
    const GasComponentTable* m_components = nullptr;
    const TempComponentTable* m_temperatures = nullptr;
};

// The stages of one gas, in their order; each replaces its result in the set.
void RunGsStages(CalcGs& gs, const MixtureList* cylinders, const CalibrationRuns& runs, const KnownPeakMap& peaks,
                 const CSettings* settings, const CalcEnvironment& env);
void RunGdStages(CalcGd& gd, const MixtureList* cylinders, const CalibrationRuns& runs, const KnownPeakMap& peaks,
                 const CSettings* settings, const CalcEnvironment& env);
// The condensate stages, in their order; the С6-С44 ones read the blocks of data.
void RunDcStages(CalcDc& dc, const KnownPeakMap& peaks, const CSettings* settings, const CalcData& data,
                 const CalcEnvironment& env);

// The formation-gas stages, last: method 1, its sulphur summary, method 2 and
// the two component-fraction compositions.
void RunPgStages(CalcPg& pg, const CalcGs& gs, const CalcGd& gd, const CalcDc& dc, const CSettings* settings,
                 const CalcEnvironment& env);
