#pragma once

#include "calc/CalcResult.h"
#include "calc/CondensateRow.h"
#include "calc/ParallelPeaks.h"
#include "data/ChromatogramRecord.h"

class CSettings;

// The light hydrocarbons C1-C5 dissolved in the degassed condensate, mass %,
// from the concentrations of the peak tables of its two or three parallel
// runs, each component checked against table A.3.
class CalcDcC1C5 : public ParallelRunCalculator
{
public:
    // One row per component of the C1-C5 list that some parallel holds, in
    // list order. A null settings pointer reads as the defaults.
    CondensateResult Calculate(const KnownPeakMap& peaks, const CSettings* settings, const CalcEnvironment& env);
};
