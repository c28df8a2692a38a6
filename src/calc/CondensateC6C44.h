#pragma once

#include <QString>

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "calc/CalcResult.h"
#include "calc/CondensateRow.h"
#include "calc/Methanol.h"
#include "calc/SulphurCompounds.h"
#include "data/ChromatogramRecord.h"

class BaselineIntegrator;
class CalcData;
class CSettings;
class MessageLog;

// (boiling temperature °C, retention time min) pairs of the calibration curve.
using CalibrationPoints = std::vector<std::pair<double, double>>;

// The end marker of the last carbon-number group: the end of the signal.
inline constexpr double kSignalEnd = -std::numeric_limits<double>::max();

// The time of temperature x on the curve through the points, in their given
// order, straight between neighbours and along the end segments beyond them;
// a repeated temperature keeps its point, so a bound after it comes from the
// later one. An end segment of no width gives way to the nearest one with
// width further in. Throws std::out_of_range when there are fewer than two
// points or all lie at one temperature.
double InterpolateLinear(const CalibrationPoints& points, double x);

// Appends a row that holds the value in every parallel, taken as checked.
void AddResultRow(CondensateResult& result, std::int32_t id, const QString& name, double value);

// The area of the boiling range low..high °C of one parallel, into the
// fraction's row (made with zeros by the first cut that needs it).
void AccumulateCut(CondensateResult& result, const CalibrationPoints& points, const BaselineIntegrator& signal,
                   int parallel, int low, int high);

// The area between two retention times; tEnd == kSignalEnd runs to the last sample.
double IntegrateRange(const BaselineIntegrator& signal, double tStart, double tEnd);

// Sets norm, uncertainty and ok of a row by its mean and range (% of the
// mean) from table 8.7; false, leaving the row as it is, when no row of the
// table holds the mean.
bool CheckC6C44Row(CondensateRow& row, int nParallel);

// The heavy part of the degassed condensate from its С6-С44 chromatograms:
// the area of the signal above the peaks' baselines, optionally after the
// blank is subtracted, cut into ranges and shared out of what the light
// components (C1-C5, sulphur compounds, methanol) leave of 100 mass %, each
// range checked against table 8.7. The two twins differ in their ranges.
class CondensateC6C44Calculator
{
public:
    virtual ~CondensateC6C44Calculator() = default;

    // The light rows, then the range rows. A null data pointer holds no
    // chromatogram; null settings read as the defaults.
    CondensateResult Calculate(const CalcData* data, const CSettings* settings, const CondensateResult& c1c5,
                               const TemperatureResult& temperature, const SulphurResult& sulphur,
                               const CondensateMethanolResult& methanol, const CalcEnvironment& env);

    // Subtracts the one blank chromatogram, less the difference of the two
    // baseline levels, from every copy. False, reported, without exactly one
    // blank; a copy whose level difference is not a number is left as it is,
    // reported and flagged in the result.
    bool SubtractBlank(CondensateResult& result, MessageLog& log);

    void ResetChromatograms() { m_chromatograms.clear(); }
    // One copy per parallel, in slot order.
    const std::vector<CalcChromatogram>& chromatograms() const { return m_chromatograms; }
    const CalcData* data() const { return m_data; }
    const CSettings* settings() const { return m_settings; }

protected:
    // The messages of one twin; %1 where a name goes.
    struct Texts
    {
        QString missingChromatogram;  // slot name
        QString oneBlank;
        QString blankLevel;           // slot name
        QString excess;
        QString curveError;
        QString tooFewPoints;
        QString zeroTotal;            // slot name
        QString outOfTable;           // fraction or group
    };

    explicit CondensateC6C44Calculator(Texts texts);

    // The range rows with the raw area of parallel k in conc[k]. False stops
    // the calculation (the error is reported and flagged); the rows made so
    // far still join the result, unnormalised.
    virtual bool ComputeAreas(CondensateResult& areas, const TemperatureResult& temperature, CondensateResult& result,
                              const CalcEnvironment& env) = 0;

    const Texts& texts() const { return m_texts; }

private:
    void NormaliseAndCheck(CondensateResult& areas, double rest, CondensateResult& result, MessageLog& log) const;

    Texts m_texts;
    const CalcData* m_data = nullptr;
    const CSettings* m_settings = nullptr;
    std::vector<CalcChromatogram> m_chromatograms;
};

// Boiling-range fractions: 45-60 °C, then every 10 °C up to 530 °C, the
// temperatures turned into times along the calibration curve.
class CalcDcC6C44Fractions final : public CondensateC6C44Calculator
{
public:
    CalcDcC6C44Fractions();

private:
    bool ComputeAreas(CondensateResult& areas, const TemperatureResult& temperature, CondensateResult& result,
                      const CalcEnvironment& env) override;
};

// Carbon-number groups С6 .. С12 between the retention times of the
// n-alkane markers; the last group runs to the end of the signal.
class CalcDcC6C44Groups final : public CondensateC6C44Calculator
{
public:
    CalcDcC6C44Groups();

private:
    bool ComputeAreas(CondensateResult& areas, const TemperatureResult& temperature, CondensateResult& result,
                      const CalcEnvironment& env) override;
};
