#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "calc/AccuracyTables.h"
#include "calc/CalcResult.h"
#include "data/ChromatogramRecord.h"
#include "data/MessageLog.h"

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

// Where some of the parallels' slots hold a chromatogram but not all, warns
// once for each empty slot, which the mean and the spread count as 0. A
// calculation with none of its runs says nothing: it may simply not be done.
void ReportMissingParallels(const KnownPeakMap& peaks, int firstSlot, int nParallel, MessageLog& log);

// What a calculator of two or three parallel runs keeps between calculations:
// the peaks it works on, what the last calculation left of them, and the
// settings it read.
class ParallelRunCalculator
{
public:
    // Empties the working peak lists before a recalculation.
    void ResetWorkingPeaks() { m_working.clear(); }
    // What the last calculation left of the peaks.
    const WorkingPeakMap& workingPeaks() const { return m_working; }
    const CSettings* settings() const { return m_settings; }

protected:
    ParallelRunCalculator() = default;
    ~ParallelRunCalculator() = default;

    // Begins a calculation on the three runs from firstSlot on. The third is
    // loaded even for two parallels, so a surplus run's peaks are reported as
    // unused.
    void BeginRuns(const KnownPeakMap& peaks, const CSettings* settings, int firstSlot);
    // Ends it: a note for every peak no row took.
    void ReportUnusedPeaks(MessageLog& log) const;

    WorkingPeakMap m_working;

private:
    const CSettings* m_settings = nullptr;
};

// The concentration of each parallel: `fromPeak` of its peak's
// concentration, 0 for a run that is not there or lacks the peak. A run that
// lacks it is reported as an error: `missingText` with the slot's name for
// "%1" and `name` for "%2".
std::vector<double> ParallelConcentrations(const std::vector<ParallelPeak>& values, int firstSlot,
                                           const QString& missingText, const QString& name, MessageLog& log,
                                           const std::function<double(double)>& fromPeak);

// The spread of the parallels, max − min: as it is for an absolute table, in
// % of their mean for a relative one (0 when they sum to 0).
double ParallelSpread(const std::vector<double>& conc, AccuracyForm form);

// Holds a row's spread to its accuracy table read at the mean: the limit for
// nParallel runs, the uncertainty in the unit of the mean and the verdict.
// Without values (the mean outside the table) all three stay as they are and
// `outOfTableText`, "%1" the row's name, is reported as an error.
template <typename Row>
void CheckRepeatability(Row& row, const std::optional<AccuracyValues>& limits, AccuracyForm form, int nParallel,
                        const QString& outOfTableText, MessageLog& log)
{
    if (!limits) {
        log.AddMessage(MessageError, outOfTableText.arg(row.name));
        return;
    }
    row.norm = AcceptanceLimit(*limits, nParallel);
    row.uncertainty = AbsoluteUncertainty(*limits, form, row.mean);
    row.ok = row.range <= row.norm;
}
