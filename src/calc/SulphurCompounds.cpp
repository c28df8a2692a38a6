#include "calc/SulphurCompounds.h"

#include "data/ChromatogramSlot.h"
#include "calc/ParallelPeaks.h"
#include "data/GasComponents.h"
#include "data/MessageLog.h"
#include "data/Settings.h"

#include <algorithm>
#include <utility>

namespace {

constexpr double kMolarVolume = 24.04;   // dm3/mol at 20 °C
constexpr double kSulphurMass = 32.06;   // g/mol
const QString kMissingText = QStringLiteral("%1: Компонент %2 не найден в наборе хроматограмм.");

bool IsMercaptan(const QString& name, const GasComponentList& mercaptans)
{
    return std::any_of(mercaptans.begin(), mercaptans.end(),
                       [&](const GasComponent* c) { return c && c->searchName == name; });
}

} // namespace

SulphurCalculator::SulphurCalculator(Kind kind)
    : m_kind(std::move(kind))
{
}

SulphurResult SulphurCalculator::Run(const KnownPeakMap& peaks, const CSettings* settings, const Sample& sample,
                                     const CalcEnvironment& env)
{
    BeginRuns(peaks, settings, m_kind.firstSlot);
    const GeneralSettings& general = SettingsOrDefaults(settings).general;

    SulphurResult result;
    const int n = m_kind.countSelector == nullptr || general.*m_kind.countSelector != 0 ? 3 : 2;
    result.nParallel = n;
    ReportMissingParallels(peaks, m_kind.firstSlot, n, env.log);

    // The data system's concentration over ρ × 10000 is mass %.
    const auto massPercent = [&](double c) { return sample.density != 0.0 ? c / (sample.density * 10000.0) : 0.0; };
    const GasComponentList& mercaptans = env.components.MercaptanComponents();
    bool zeroReported = false;
    for (const GasComponent* component : env.components.SulphurComponents()) {
        if (!component)
            continue;
        bool notFound = true;
        const std::vector<ParallelPeak> values =
            TakeParallelPeaks(m_working, m_kind.firstSlot, n, component->searchName, notFound);
        if (notFound)
            continue;

        if (!zeroReported) {
            for (const QString& text : sample.zeroErrors)
                env.log.AddMessage(MessageError, text);
            result.hasError = !sample.zeroErrors.isEmpty();
            zeroReported = true;
        }

        SulphurRow row;
        row.id = component->id;
        row.name = component->searchName;
        row.molarMass = component->molarMass;
        row.conc = ParallelConcentrations(values, m_kind.firstSlot, kMissingText, component->name, env.log, massPercent);

        row.mean = Mean(row.conc);
        // The catalogue holds no compound without a molar mass; a zero would divide.
        if (row.molarMass != 0.0) {
            row.molConc = row.mean * sample.molarFactor / row.molarMass;
            if (IsMercaptan(row.name, mercaptans))
                row.mercaptanSulphur = row.mean * kSulphurMass / row.molarMass;
        }
        result.molConcTotal += row.molConc;
        result.mercaptanSulphurTotal += row.mercaptanSulphur;

        row.range = ParallelSpread(row.conc, m_kind.form);
        CheckRepeatability(row, ReadFoundAccuracyRow(m_kind.accuracyRow(row.mean), m_kind.form, row.mean), m_kind.form,
                           n, m_kind.outOfTableText, env.log);
        result.rows.push_back(std::move(row));
    }

    ReportUnusedPeaks(env.log);
    return result;
}

CalcGsSulphur::CalcGsSulphur()
    : SulphurCalculator({SlotGsSulphur1, nullptr, &AccuracyRowGsSulphur, NormForm7_7,
                         QStringLiteral("ГС CCC: Невозможно выполнить проверку по таблице 7.7 для компонента %1. Концентрация вне диапазона.")})
{
}

SulphurResult CalcGsSulphur::Calculate(const KnownPeakMap& peaks, const CSettings* settings, double density,
                                       const CalcEnvironment& env)
{
    return Run(peaks, settings, {density, density * kMolarVolume, {}}, env);
}

CalcGdSulphur::CalcGdSulphur()
    : SulphurCalculator({SlotGdSulphur1, &GeneralSettings::QtyGdSss, &AccuracyRowGdSulphur, NormForm8_2,
                         QStringLiteral("ГД ССС: Невозможно выполнить проверку по таблице 8.2 для компонента %1. Концентрация вне диапазона.")})
{
}

SulphurResult CalcGdSulphur::Calculate(const KnownPeakMap& peaks, const CSettings* settings, double density,
                                       const CalcEnvironment& env)
{
    return Run(peaks, settings, {density, density * kMolarVolume, {}}, env);
}

CalcDcSulphur::CalcDcSulphur()
    : SulphurCalculator({SlotDcSulphur1, &GeneralSettings::QtyDcSss, &AccuracyRowDcSulphur, NormForm8_8,
                         QStringLiteral("ДК ССС: Невозможно выполнить проверку по таблице 8.8 для компонента %1. Концентрация вне диапазона.")})
{
}

SulphurResult CalcDcSulphur::Calculate(const KnownPeakMap& peaks, const CSettings* settings, const CalcEnvironment& env)
{
    const SamplingParameters& params = SettingsOrDefaults(settings).params;
    Sample sample{params.DcDensity, params.DcAvg, {}};
    // Without its mean molar mass the condensate's mole % would all be 0.
    const std::pair<double, const char*> required[] = {
        {params.DcDensity, "Плотность дегазированного конденсата, г/см3"},
        {params.DcAvg, "Средняя молярная масса дегазированного конденсата, г/моль"},
    };
    for (const auto& [value, name] : required) {
        if (value == 0.0)
            sample.zeroErrors << NotSetText(QStringLiteral("ДК ССС"), QString::fromUtf8(name));
    }
    return Run(peaks, settings, sample, env);
}
