#pragma once

#include <QString>

#include <vector>

#include "calc/CalcResult.h"
#include "data/ChromatogramRecord.h"

// One parallel run's share of a component: whether the run's chromatogram
// is there at all, and its peak when it holds one.
struct ParallelPeak
{
    bool slotPresent = false;
    PeakValue peak;
};

// Copies the peak lists of the slots first .. first + count - 1 that the
// known peaks hold into the working map, in their order.
void LoadWorkingPeaks(WorkingPeakMap& working, const KnownPeakMap& peaks, int firstSlot, int count);

// Takes the component's first peak (by name, without regard to case) out of
// each slot firstSlot + i, i < nParallel; entry i of the result belongs to
// that slot, whatever other slots are missing. Slots outside the parallels
// are left alone, so their peaks stay to be reported as unused. notFound is
// cleared when any parallel held the peak.
std::vector<ParallelPeak> TakeParallelPeaks(WorkingPeakMap& working, int firstSlot, int nParallel,
                                            const QString& name, bool& notFound);
