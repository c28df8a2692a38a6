#pragma once

#include "calc/CalcResult.h"
#include "calc/CondensateRow.h"
#include "data/ChromatogramRecord.h"

// The points of the condensate's calibration curve: each marker peak of the
// temperature chromatogram paired with its boiling temperature. No curve is
// fitted and the points keep the order of the peaks.
class CalcDcTemperature
{
public:
    // hasError only when there is no temperature chromatogram at all.
    TemperatureResult Calculate(const KnownPeakMap& peaks, const CalcEnvironment& env);

    void ResetWorkingPeaks() { m_working.clear(); }
    const WorkingPeakMap& workingPeaks() const { return m_working; }

private:
    WorkingPeakMap m_working;
};
