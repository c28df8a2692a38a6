#include "data/ChromatogramRecord.h"

#include "data/ChromatogramSlot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

PeakItem MakePeakItem(const cmpeek& peak)
{
    PeakItem item;
    item.name = peak.name;
    item.sortGroup = 0;
    item.area = peak.area;
    item.concentration = peak.concentration;
    item.retentionTime = peak.apexTime;
    item.startTime = peak.startTime;
    item.endTime = peak.endTime;
    return item;
}

void BuildPeakItems(ChromatogramRecord& record, const CPeeksTable& table)
{
    record.peaks.reserve(record.peaks.size() + table.peaks().size());
    for (const cmpeek& p : table.peaks())
        record.peaks.push_back(MakePeakItem(p));
    // Stable, so parallels with equal retention times list the same way every run.
    std::stable_sort(record.peaks.begin(), record.peaks.end(), [](const PeakItem& a, const PeakItem& b) {
        if (a.sortGroup != b.sortGroup)
            return a.sortGroup < b.sortGroup;
        return a.retentionTime < b.retentionTime;
    });
}

void CalcChromatogram::Init(const ChromatogramRecord& rec, double baselineTime)
{
    constexpr double kFiveSeconds = 0.08333333333333333; // minutes
    record = &rec;
    peakTable = rec.peakTable;
    signal = rec.signal;
    if (baselineTime <= kFiveSeconds)
        ComputeBaselineLevel(0.0, 0.0);
    else
        ComputeBaselineLevel(baselineTime - kFiveSeconds, baselineTime);
}

void CalcChromatogram::ComputeBaselineLevel(double t1, double t2)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    if (t1 <= 0.0 || t2 <= 0.0) {
        // The default window ends at 1 s absolute, not 1 s after the start.
        t1 = signal.start();
        t2 = 0.016666666666666666;
    }
    const double start = signal.start();
    const double step = signal.step();
    const double count = static_cast<double>(signal.size());
    double f0 = std::trunc((t1 - start) / step);
    double f1 = std::trunc((t2 - start) / step);
    if (!std::isfinite(f0) || !std::isfinite(f1)) {
        baselineLevel = kNaN;
        return;
    }
    // Clip to the samples that exist; a window outside the signal must not end a recalculation.
    f0 = std::clamp(f0, 0.0, count);
    f1 = std::clamp(f1, 0.0, count);
    const auto i0 = static_cast<qsizetype>(f0);
    const auto i1 = static_cast<qsizetype>(f1);
    const qsizetype n = i1 - i0;
    if (n <= 0) {
        baselineLevel = kNaN;
        return;
    }
    const SampleVector& y = std::as_const(signal).samples();
    double sum = 0.0;
    for (qsizetype i = i0; i < i1; ++i)
        sum += static_cast<double>(y[static_cast<std::size_t>(i)]);
    const double mean = sum / static_cast<double>(n);
    double squares = 0.0;
    for (qsizetype i = i0; i < i1; ++i) {
        const double d = static_cast<double>(y[static_cast<std::size_t>(i)]) - mean;
        squares += d * d;
    }
    const double s = std::sqrt(squares / static_cast<double>(n)); // population deviation
    double bandSum = 0.0;
    qsizetype bandCount = 0;
    for (qsizetype i = i0; i < i1; ++i) {
        const double v = static_cast<double>(y[static_cast<std::size_t>(i)]);
        if (mean - s < v && v < mean + s) {
            bandSum += v;
            ++bandCount;
        }
    }
    // A flat window has no sample strictly inside the band: its level is its value.
    baselineLevel = bandCount > 0 ? bandSum / static_cast<double>(bandCount) : mean;
}

std::vector<PeakValue> TakePeaksByName(WorkingPeakMap& peaks, const QString& name, bool& notFound)
{
    std::vector<PeakValue> values;
    values.reserve(peaks.size());
    for (auto& [slot, items] : peaks) {
        const auto it = std::find_if(items.begin(), items.end(), [&](const PeakItem& item) {
            return QString::compare(item.name, name, Qt::CaseInsensitive) == 0;
        });
        if (it == items.end()) {
            values.emplace_back(std::nullopt);
            continue;
        }
        values.emplace_back(*it);
        items.erase(it);
        notFound = false;
    }
    return values;
}

std::vector<QString> CollectUnusedPeakWarnings(const WorkingPeakMap& peaks)
{
    std::vector<QString> texts;
    for (const auto& [slot, items] : peaks) {
        for (const PeakItem& item : items)
            texts.push_back(QStringLiteral("%1: Пик '%2' не использован в расчете.")
                                .arg(ChromatogramSlotName(slot), item.name));
    }
    return texts;
}

QString FractionRangeText(int id)
{
    if (id <= 1000000)
        return QStringLiteral("???");
    const int low = (id - 1000000) / 1000;
    const int high = (id - 1000000) - low * 1000;
    return QString::asprintf("%d - %d", low, high);
}
