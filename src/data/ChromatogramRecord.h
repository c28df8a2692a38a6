#pragma once

#include <QString>

#include <cstdint>
#include <list>
#include <map>
#include <optional>
#include <vector>

#include "data/Lattice.h"
#include "data/Mixtures.h"
#include "data/PeeksTable.h"
#include "platform/FileSystem.h"

// One recognised peak of a chromatogram as the calculators see it.
struct PeakItem
{
    QString tag;
    QString name;          // component name from the peak table, or a merged group name
    std::int32_t sortGroup = 0; // 0 for a file peak, -1 for a merged group item
    double area = 0.0;
    double concentration = 0.0;
    double retentionTime = 0.0; // minutes
    double startTime = 0.0;
    double endTime = 0.0;
};

// The value of one component in one chromatogram: a peak, or nothing.
using PeakValue = std::optional<PeakItem>;

// One entry of the chromatogram list.
struct ChromatogramRecord
{
    std::int32_t number = 0;       // 1-based position when added
    std::int64_t analysisTime = 0; // seconds since 1970-01-01 00:00 UTC
    QString path;
    // The file behind the path when it was read: another path to the same
    // file is not listed again.
    FileIdentity identity;
    QString sample;
    QString method;
    int role = 0; // ChromatogramSlot; 0 until roles are assigned
    QString typeName;
    // The calculation whose type the run matched but that had no free slot
    // left for it; empty when none.
    QString leftOutOf;
    bool isCalibration = false;
    QString samplingPoint;
    // Shared, so a cylinder deleted from the list never leaves a record dangling.
    MixturePtr mixture;
    std::vector<PeakItem> peaks;
    CLattice signal;
    // A hash of samples spread over the signal, taken as the file is read:
    // runs of one passport are mostly told apart without comparing every sample.
    std::uint64_t signalFingerprint = 0;
    CPeeksTable peakTable;
};

// The item of a file peak: its name, area, concentration and times.
PeakItem MakePeakItem(const cmpeek& peak);

// Appends one item per peak of the table, then orders all of the record's
// items by sort group and retention time; equal keys keep their order.
void BuildPeakItems(ChromatogramRecord& record, const CPeeksTable& table);

// The calculation copy of one chromatogram, built at every recalculation.
struct CalcChromatogram
{
    const ChromatogramRecord* record = nullptr;
    CLattice signal;
    CPeeksTable peakTable;
    double baselineLevel = 0.0;

    // Copies the record's signal and table and measures the baseline level in
    // the 5 s before baselineTime (minutes), or in the default window when
    // baselineTime is 5 s or less.
    void Init(const ChromatogramRecord& rec, double baselineTime);

    // Mean of the samples in [t1, t2) that lie strictly within one standard
    // deviation of the window's mean. Never throws: the window is clipped to
    // the signal, and a window with no sample left gives NaN.
    void ComputeBaselineLevel(double t1, double t2);
};

using WorkingPeakMap = std::map<int, std::list<PeakItem>>;

// Takes, from every slot in ascending order, the first item named `name`
// (without regard to case). notFound is cleared when any slot held it.
std::vector<PeakValue> TakePeaksByName(WorkingPeakMap& peaks, const QString& name, bool& notFound);

// "<slot name>: Пик '<name>' не использован в расчете." for every item left.
std::vector<QString> CollectUnusedPeakWarnings(const WorkingPeakMap& peaks);

// "low - high" for a boiling-range fraction id 1000000 + low * 1000 + high, else "???".
QString FractionRangeText(int id);
