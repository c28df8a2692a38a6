#include "calc/ParallelPeaks.h"

#include "data/ChromatogramSlot.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

void LoadWorkingPeaks(WorkingPeakMap& working, const KnownPeakMap& peaks, int firstSlot, int count)
{
    for (int slot = firstSlot; slot < firstSlot + count; ++slot) {
        const auto it = peaks.find(slot);
        if (it != peaks.end())
            working[slot] = std::list<PeakItem>(it->second.begin(), it->second.end());
    }
}

std::vector<ParallelPeak> TakeParallelPeaks(WorkingPeakMap& working, int firstSlot, int nParallel,
                                            const QString& name, bool& notFound)
{
    std::vector<ParallelPeak> values(static_cast<std::size_t>(nParallel > 0 ? nParallel : 0));

    // Lend the parallels' lists to a map of their own, so the take sees only
    // them; splicing moves the nodes without copying.
    WorkingPeakMap parallels;
    for (int i = 0; i < nParallel; ++i) {
        const auto it = working.find(firstSlot + i);
        if (it != working.end())
            parallels[it->first].splice(parallels[it->first].end(), it->second);
    }

    std::vector<PeakValue> taken = TakePeaksByName(parallels, name, notFound);

    std::size_t k = 0;
    for (auto& [slot, items] : parallels) {
        ParallelPeak& value = values[static_cast<std::size_t>(slot - firstSlot)];
        value.slotPresent = true;
        if (k < taken.size())
            value.peak = std::move(taken[k]);
        ++k;
        std::list<PeakItem>& home = working[slot];
        home.splice(home.end(), items);
    }
    return values;
}

std::vector<double> ParallelConcentrations(const std::vector<ParallelPeak>& values, int firstSlot,
                                           const QString& missingText, const QString& name, MessageLog& log,
                                           const std::function<double(double)>& fromPeak)
{
    std::vector<double> conc(values.size(), 0.0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ParallelPeak& value = values[i];
        if (!value.slotPresent)
            continue;
        if (!value.peak) {
            log.AddMessage(MessageError,
                           missingText.arg(ChromatogramSlotName(firstSlot + static_cast<int>(i)), name));
            continue;
        }
        conc[i] = fromPeak(value.peak->concentration);
    }
    return conc;
}

void ReportMissingParallels(const KnownPeakMap& peaks, int firstSlot, int nParallel, MessageLog& log)
{
    std::vector<int> missing;
    for (int slot = firstSlot; slot < firstSlot + nParallel; ++slot) {
        if (!peaks.contains(slot))
            missing.push_back(slot);
    }
    if (static_cast<int>(missing.size()) == nParallel)
        return;
    for (int slot : missing)
        log.AddMessage(MessageWarning, ChromatogramSlotName(slot) + QStringLiteral(": нет хроматограммы, параллель учтена как 0."));
}

double ParallelSpread(const std::vector<double>& conc, AccuracyForm form)
{
    if (conc.empty())
        return 0.0;
    const auto [lo, hi] = std::minmax_element(conc.begin(), conc.end());
    if (form == AccuracyForm::Absolute)
        return std::fabs(*hi - *lo);
    double sum = 0.0;
    for (double c : conc)
        sum += c;
    if (sum == 0.0)
        return 0.0;
    return std::fabs(*hi - *lo) * static_cast<double>(conc.size()) * 100.0 / sum;
}

void ParallelRunCalculator::BeginRuns(const KnownPeakMap& peaks, const CSettings* settings, int firstSlot)
{
    m_settings = settings;
    m_working.clear();
    LoadWorkingPeaks(m_working, peaks, firstSlot, 3);
}

void ParallelRunCalculator::ReportUnusedPeaks(MessageLog& log) const
{
    for (const QString& text : CollectUnusedPeakWarnings(m_working))
        log.AddMessage(MessageInfo, text);
}
