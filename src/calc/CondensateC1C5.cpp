#include "calc/CondensateC1C5.h"

#include "calc/AccuracyTables.h"
#include "calc/ChromatogramSlot.h"
#include "calc/ParallelPeaks.h"
#include "data/GasComponents.h"
#include "data/MessageLog.h"
#include "data/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

CondensateResult CalcDcC1C5::Calculate(const KnownPeakMap& peaks, const CSettings* settings,
                                       const CalcEnvironment& env)
{
    m_settings = settings;
    m_working.clear();
    const int n = SettingsOrDefaults(settings).general.QtyDcC1C5 != 0 ? 3 : 2;

    CondensateResult result;
    result.nParallel = n;

    // The third run is loaded even for two parallels, so its peaks are
    // reported as unused instead of being written past the parallels.
    LoadWorkingPeaks(m_working, peaks, SlotDcC1C5_1, 3);

    for (const GasComponent* component : env.components.ComponentsC1C5()) {
        if (!component)
            continue;
        bool notFound = true;
        const std::vector<ParallelPeak> values =
            TakeParallelPeaks(m_working, SlotDcC1C5_1, n, component->searchName, notFound);
        if (notFound)
            continue;

        CondensateRow row;
        row.id = component->id;
        row.name = component->searchName;
        row.conc.assign(static_cast<std::size_t>(n), 0.0);
        for (int i = 0; i < n; ++i) {
            const ParallelPeak& value = values[static_cast<std::size_t>(i)];
            if (!value.slotPresent)
                continue;
            if (!value.peak) {
                env.log.AddMessage(MessageError, QStringLiteral("%1: Компонент %2 не найден в наборе хроматограмм.")
                                                     .arg(ChromatogramSlotName(SlotDcC1C5_1 + i), row.name));
                continue;
            }
            // The data system's concentration, mass %, taken as it stands.
            row.conc[static_cast<std::size_t>(i)] = value.peak->concentration;
        }
        row.mean = Mean(row.conc);
        const auto [lo, hi] = std::minmax_element(row.conc.begin(), row.conc.end());
        row.range = std::fabs(*hi - *lo);

        if (const ShortAccuracyRow* accuracy = AccuracyRowDcC1C5(row.mean)) {
            const AccuracyValues values = ReadAccuracyRow(*accuracy);
            row.norm = AcceptanceLimit(values, n);
            row.uncertainty = AbsoluteUncertainty(values, NormFormA_3, row.mean);
            row.ok = row.range <= row.norm;
        } else {
            env.log.AddMessage(MessageError, QStringLiteral("ДК C1C5: Невозможно выполнить проверку по таблице A.3 для компонента %1. Концентрация вне диапазона.")
                                                 .arg(row.name));
        }
        result.rows.push_back(std::move(row));
    }

    for (const QString& text : CollectUnusedPeakWarnings(m_working))
        env.log.AddMessage(MessageInfo, text);
    return result;
}
