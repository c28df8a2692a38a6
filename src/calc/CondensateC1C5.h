#pragma once

#include "calc/CalcResult.h"
#include "calc/CondensateRow.h"
#include "data/ChromatogramRecord.h"

class CSettings;

// The light hydrocarbons C1-C5 dissolved in the degassed condensate, mass %,
// from the concentrations of the peak tables of its two or three parallel
// runs, each component checked against table A.3.
class CalcDcC1C5
{
public:
    // One row per component of the C1-C5 list that some parallel holds, in
    // list order. A null settings pointer reads as the defaults.
    CondensateResult Calculate(const KnownPeakMap& peaks, const CSettings* settings, const CalcEnvironment& env);

    void ResetWorkingPeaks() { m_working.clear(); }
    const WorkingPeakMap& workingPeaks() const { return m_working; }
    const CSettings* settings() const { return m_settings; }

private:
    WorkingPeakMap m_working;
    const CSettings* m_settings = nullptr;
};
