#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <vector>

#include "calc/CalcResult.h"
#include "data/ChromatogramRecord.h"
#include "data/Mixtures.h"

class CSettings;
class GeneralSettings;

// One component of a gas calibration: the response factor K = certified
// concentration / peak area of each calibration run, and its repeatability.
struct CalibrationRow
{
    std::int32_t id = -1;       // gas component id
    QString name;               // as the cylinder names it; a search name in derived rows
    // One per calibration run; 0 where no value was obtained, -DBL_MAX (not
    // counted in Kavr and Rk) where the run's cylinder lacks the component.
    std::vector<double> K;
    std::vector<double> areas;  // peak area per run; empty in derived rows
    double conc_mol = 0.0;      // certified concentration, mol %; 0 in derived rows
    double Kavr = 0.0;          // mean of the counted K
    double Rk = 0.0;            // relative range of K, %
    double norm = 0.0;          // permissible relative range, %; 0 when not checked
    bool ok = false;            // Rk within norm; true in derived rows
    // The certified concentration of each run's own cylinder; NaN where the
    // run is missing or its cylinder lacks the component; empty in derived rows.
    std::vector<double> runConc;
};

// nParallel is 3 or 5, or 0 when no cylinder of the kind exists. hasError
// stays false: every problem of a calibration is a message.
using CalibrationResult = CalcResult<CalibrationRow>;

// A row of the calibration accuracy table (table 7.4 of the standard). With
// X in mol %: Ua − Ub·X is the relative expanded uncertainty, 3.3·(r3a − r3b·X)
// the permissible relative range of three or more runs, r2a − r2b·X that of two.
struct CalibrationNormRow
{
    std::int32_t rowNo = -1;  // 1..17; -1 when the component has no row
    double rangeLow = 0.0;    // mol %, both bounds belong to the range
    double rangeHigh = 0.0;
    double Ua = 0.0;
    double Ub = 0.0;
    double r3a = 0.0;
    double r3b = 0.0;
    double r2a = 0.0;
    double r2b = 0.0;
};

// The table row of a gas component id; rowNo -1 and zeros for an id without one.
// Keyed by the built-in catalogue ids.
CalibrationNormRow CalibrationTableRow(std::int32_t componentId);

// Order of the separator-gas rows: by table row number, rows without a row first.
bool CompareCalibrationRows(const CalibrationRow& a, const CalibrationRow& b);

// A deep copy of the rows, for the gas analysis and the readers of the rows.
std::vector<CalibrationRow> CopyCalibrationRows(const std::vector<CalibrationRow>& rows);

// The record of each slot's run (of two sharing a slot, the earlier).
using CalibrationRuns = std::map<int, const ChromatogramRecord*>;

// The calibration of one gas against the cylinders of its kind. The two
// gases differ only in the data of Kind; see CalcGsCalibration and
// CalcGdCalibration.
class GasCalibrationCalculator
{
public:
    // Never throws for bad data: every problem is a message in env.log. A null
    // cylinder list counts as an empty one, null settings as the defaults.
    // Each run is calibrated against its CalibrationCylinder; one taken for
    // want of one named is warned of where the list holds a choice, or where
    // the run's sample names a cylinder of another gas.
    CalibrationResult Calculate(const MixtureList* cylinders, const CalibrationRuns& runs,
                                const KnownPeakMap& peaks, const CSettings* settings, const CalcEnvironment& env);

    // A component whose factor comes from n-butane's, ×4 / carbons, where no
    // cylinder gives its own: its search name and that of the row derived
    // for it (its group's, where it has one).
    struct ButaneScaled
    {
        QString name;
        QString derivedName;
        int carbons;
    };
    // The catalogue's names of those components, looked up once per
    // calculation: every row asks for them.
    static std::vector<ButaneScaled> ButaneScaledNames(const GasComponentTable& catalogue);

    // Steps of Calculate on the rows before they are sorted.
    void CorrectNitrogen(CalibrationResult& result, const CalcEnvironment& env) const;
    void PentanesFromButane(CalibrationResult& result, const std::vector<ButaneScaled>& scaled,
                            const CalcEnvironment& env) const;

    // Empties the working peak lists before a recalculation.
    void ResetWorkingPeaks() { m_working.clear(); }
    // What the last calculation left of the calibration peaks.
    const WorkingPeakMap& workingPeaks() const { return m_working; }
    const CSettings* settings() const { return m_settings; }

protected:
    enum class RowOrder { TableRow, MolarMass };

    struct Kind
    {
        QString prefix;          // message prefix, "ГС Калибровка"
        QString gasText;         // argument of the missing-cylinder message, "ГС"
        std::int32_t mixtureType;
        int firstSlot;           // calibration run 1
        int GeneralSettings::*countSelector;  // 0: three runs, else five
        int GeneralSettings::*nitrogenSwitch;
        RowOrder order;
    };

    explicit GasCalibrationCalculator(Kind kind);

private:
    void SortRows(CalibrationResult& result, const CalcEnvironment& env) const;

    Kind m_kind;
    WorkingPeakMap m_working;
    const CSettings* m_settings = nullptr;
};

// Separator gas: cylinders of kind 1, slots 5..9, rows in table order.
class CalcGsCalibration final : public GasCalibrationCalculator
{
public:
    CalcGsCalibration();
};

// Degassing gas: cylinders of kind 2, slots 19..23, rows by molar mass.
class CalcGdCalibration final : public GasCalibrationCalculator
{
public:
    CalcGdCalibration();
};
