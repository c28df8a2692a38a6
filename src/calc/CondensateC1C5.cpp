#include "calc/CondensateC1C5.h"

#include "data/ChromatogramSlot.h"
#include "calc/ParallelPeaks.h"
#include "data/GasComponents.h"
#include "data/Settings.h"

CondensateResult CalcDcC1C5::Calculate(const KnownPeakMap& peaks, const CSettings* settings,
                                       const CalcEnvironment& env)
{
    BeginRuns(peaks, settings, SlotDcC1C5_1);
    const int n = SettingsOrDefaults(settings).general.QtyDcC1C5 != 0 ? 3 : 2;

    CondensateResult result;
    result.nParallel = n;
    ReportMissingParallels(peaks, SlotDcC1C5_1, n, env.log);

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
        // The data system's concentration, mass %, taken as it stands.
        row.conc = ParallelConcentrations(values, SlotDcC1C5_1,
                                          QStringLiteral("%1: Компонент %2 не найден в наборе хроматограмм."), row.name,
                                          env.log, [](double c) { return c; });
        row.mean = Mean(row.conc);
        row.range = ParallelSpread(row.conc, NormFormA_3);
        CheckRepeatability(row, ReadFoundAccuracyRow(AccuracyRowDcC1C5(row.mean)), NormFormA_3, n,
                           QStringLiteral("ДК C1C5: Невозможно выполнить проверку по таблице A.3 для компонента %1. Концентрация вне диапазона."),
                           env.log);
        result.rows.push_back(std::move(row));
    }

    ReportUnusedPeaks(env.log);
    return result;
}
