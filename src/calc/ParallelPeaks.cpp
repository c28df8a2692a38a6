#include "calc/ParallelPeaks.h"

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
