#include "calc/GasAnalysis.h"

#include "calc/AccuracyTables.h"
#include "calc/ParallelPeaks.h"
#include "data/ChromatogramSlot.h"
#include "data/GasComponents.h"
#include "data/MessageLog.h"
#include "data/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr double kNitrogenPerOxygen = 3.73;
constexpr double kReferenceTemperature = 293.15;  // K

std::list<PeakItem>::iterator FindPeak(std::list<PeakItem>& items, const QString& name)
{
    return std::find_if(items.begin(), items.end(), [&](const PeakItem& item) {
        return QString::compare(item.name, name, Qt::CaseInsensitive) == 0;
    });
}

// Steps shared by both checks: the final concentrations, their mean and
// their spread in % of the mean.
void ReduceAndSpread(GasAnalysisRow& row, double S, double M)
{
    row.finalConc.resize(row.normConc.size());
    double sum = 0.0;
    for (std::size_t i = 0; i < row.normConc.size(); ++i) {
        row.finalConc[i] = (100.0 - S - M) * row.normConc[i] / 100.0;
        sum += row.finalConc[i];
    }
    row.mean = Mean(row.finalConc);
    row.range = 0.0;
    if (sum != 0.0) {
        const auto [lo, hi] = std::minmax_element(row.finalConc.begin(), row.finalConc.end());
        row.range = std::fabs(*hi - *lo) * static_cast<double>(row.finalConc.size()) * 100.0 / sum;
    }
}

void Judge(GasAnalysisRow& row, const AccuracyRow& accuracy, int nParallel)
{
    const AccuracyValues values = ReadAccuracyRow(accuracy, AccuracyForm::Relative, row.mean);
    row.norm = AcceptanceLimit(values, nParallel);
    row.ok = row.norm >= row.range;
    row.uncertainty = AbsoluteUncertainty(values, AccuracyForm::Relative, row.mean);
}

} // namespace

GasAnalysisCalculator::GasAnalysisCalculator(Kind kind)
    : m_kind(std::move(kind))
{
}

GasAnalysisResult GasAnalysisCalculator::Calculate(const KnownPeakMap& peaks, const CSettings* settings,
                                                   std::vector<CalibrationRow> calibrationRows,
                                                   const CalcEnvironment& env)
{
    m_settings = settings;
    m_working.clear();
    const CSettings& effective = SettingsOrDefaults(settings);
    const GeneralSettings& general = effective.general;

    GasAnalysisResult result;
    const int n = general.*m_kind.countSelector != 0 ? 3 : 2;
    result.nParallel = n;
    ReportMissingParallels(peaks, m_kind.firstSlot, n, env.log);
    std::vector<double> totals(static_cast<std::size_t>(n), 0.0);

    // The third slot is loaded even for two parallels, so a surplus run's
    // peaks are reported as unused.
    LoadWorkingPeaks(m_working, peaks, m_kind.firstSlot, 3);

    if (general.*m_kind.nitrogenSwitch != 0)
        CorrectNitrogen(env);

    // The merged group peaks are quantified with the factor of their normal alkane.
    const GasComponentTable& catalogue = env.components;
    const std::pair<const GasComponent*, const GasComponent*> groups[] = {
        {catalogue.FindComponentByName(QStringLiteral("н-Гексан")), catalogue.FindComponentByName(QStringLiteral("Группа С6"))},
        {catalogue.FindComponentByName(QStringLiteral("н-Гептан")), catalogue.FindComponentByName(QStringLiteral("Группа С7"))},
        {catalogue.FindComponentByName(QStringLiteral("н-Октан")), catalogue.FindComponentByName(QStringLiteral("Группа С8"))},
    };

    for (const CalibrationRow& calibration : calibrationRows) {
        std::int32_t id = calibration.id;
        QString name = calibration.name;
        for (const auto& [alkane, group] : groups) {
            if (alkane && group && id == alkane->id) {
                id = group->id;
                name = group->searchName;
                break;
            }
        }

        bool notFound = true;
        const std::vector<ParallelPeak> values = TakeParallelPeaks(m_working, m_kind.firstSlot, n, name, notFound);
        if (notFound)
            continue;

        GasAnalysisRow row;
        row.id = id;
        row.name = name;
        row.rawConc.assign(static_cast<std::size_t>(n), 0.0);
        row.normConc.assign(static_cast<std::size_t>(n), 0.0);
        row.finalConc.assign(static_cast<std::size_t>(n), 0.0);
        for (int i = 0; i < n; ++i) {
            const auto k = static_cast<std::size_t>(i);
            const ParallelPeak& value = values[k];
            if (!value.slotPresent)
                continue;
            if (!value.peak) {
                env.log.AddMessage(MessageError, QStringLiteral("%1: Компонент %2 не найден в наборе хромотограмм.")
                                                     .arg(ChromatogramSlotName(m_kind.firstSlot + i), calibration.name));
                continue;
            }
            row.rawConc[k] = value.peak->area * calibration.Kavr;
            totals[k] += row.rawConc[k];
        }
        result.rows.push_back(std::move(row));
    }

    for (GasAnalysisRow& row : result.rows) {
        for (std::size_t i = 0; i < totals.size(); ++i) {
            if (totals[i] != 0.0)
                row.normConc[i] = row.rawConc[i] * 100.0 / totals[i];
        }
    }

    GasComposition composition;
    composition.reserve(result.rows.size());
    for (const GasAnalysisRow& row : result.rows)
        composition.emplace_back(row.name, Mean(row.normConc) / 100.0);
    result.density = CalcDensity(std::move(composition), effective.params.*m_kind.pressure, catalogue);

    for (const QString& text : CollectUnusedPeakWarnings(m_working))
        env.log.AddMessage(MessageInfo, text);
    return result;
}

void GasAnalysisCalculator::CorrectNitrogen(const CalcEnvironment& env)
{
    const GasComponent* oxygen = env.components.FindComponentByName(QStringLiteral("Кислород"));
    const GasComponent* nitrogen = env.components.FindComponentByName(QStringLiteral("Азот"));
    if (!oxygen || !nitrogen) {
        env.log.AddMessage(MessageError, QStringLiteral("Компонент Кислород или Азот не найден в списке компонентов."));
        return;
    }

    struct RunPeaks
    {
        int slot;
        std::list<PeakItem>::iterator oxygen;
        std::list<PeakItem>::iterator nitrogen;
        std::list<PeakItem>::iterator end;
    };
    std::vector<RunPeaks> runs;
    bool anyOxygen = false;
    bool anyNitrogen = false;
    for (auto& [slot, items] : m_working) {
        RunPeaks run{slot, FindPeak(items, oxygen->name), FindPeak(items, nitrogen->name), items.end()};
        anyOxygen = anyOxygen || run.oxygen != run.end;
        anyNitrogen = anyNitrogen || run.nitrogen != run.end;
        runs.push_back(run);
    }
    if (!anyOxygen) {
        env.log.AddMessage(MessageWarning, m_kind.prefix + QStringLiteral(": Коррекция Азота не произведена (не найден пик Кислорода)."));
        return;
    }
    if (!anyNitrogen) {
        env.log.AddMessage(MessageWarning, m_kind.prefix + QStringLiteral(": Коррекция Азота не произведена (не найден пик Азота)."));
        return;
    }

    int corrected = 0;
    for (const RunPeaks& run : runs) {
        const double oxygenArea = run.oxygen != run.end ? run.oxygen->area : 0.0;
        const double nitrogenArea = run.nitrogen != run.end ? run.nitrogen->area : 0.0;
        if (oxygenArea == 0.0 || nitrogenArea == 0.0)
            continue;
        double area = nitrogenArea - kNitrogenPerOxygen * oxygenArea;
        // Nothing divides by the corrected area: 0 means all the nitrogen came
        // with air. Below 0 the oxygen is more than air brings, and no
        // nitrogen is left to count.
        if (!(area >= 0.0)) {
            env.log.AddMessage(MessageWarning, m_kind.prefix + QStringLiteral(": Площадь пика Азота в хроматограмме %1 после коррекции меньше нуля и принята равной нулю.")
                                                                   .arg(ChromatogramSlotName(run.slot)));
            area = 0.0;
        }
        run.nitrogen->area = area;
        ++corrected;
    }
    if (corrected > 0)
        env.log.AddMessage(MessageInfo, QStringLiteral("Проведена коррекция Азота по СТО Газпром 5.40 - 2011 п. 7.3.4.2."));
}

double GasAnalysisCalculator::CalcDensity(GasComposition composition, double pressure,
                                          const GasComponentTable& components) const
{
    double molarMass = 0.0;  // SM, g/mol
    double summation = 0.0;  // SB
    for (const auto& [name, fraction] : composition) {
        const GasSearchEntry* entry = components.FindComponentBySearchName(name);
        if (!entry || !entry->component)
            continue;
        molarMass += fraction * entry->component->molarMass;
        summation += fraction * entry->component->summationFactor;
    }
    const double z = 1.0 - summation * summation;
    if (z == 0.0)
        return 0.0;
    // g/mol · kPa / (J/(mol·K) · K) comes out in kg/m3.
    return molarMass * pressure / (m_R * kReferenceTemperature * z);
}

CalcGsAnalysis::CalcGsAnalysis()
    : GasAnalysisCalculator({QStringLiteral("ГС Анализ"), SlotGsAnalysis1, &GeneralSettings::QtyGsRegular,
                             &GeneralSettings::enGsAnalysCorrect, &SamplingParameters::GsPressure})
{
}

CalcGdAnalysis::CalcGdAnalysis()
    : GasAnalysisCalculator({QStringLiteral("ГД Анализ"), SlotGdAnalysis1, &GeneralSettings::QtyGdRegular,
                             &GeneralSettings::enGdAnalysCorrect, &SamplingParameters::GdPressure})
{
}

void CheckGsAnalysis(GasAnalysisResult& result, double S, double M, MessageLog& log)
{
    for (GasAnalysisRow& row : result.rows) {
        ReduceAndSpread(row, S, M);
        const CalibrationNormRow table = CalibrationTableRow(row.id);
        if (table.rowNo == -1) {
            log.AddMessage(MessageWarning, QStringLiteral("ГС Анализ: Невозможно выполнить проверку по таблице 7.4 для компонента %1. Компонент отсутствует в таблице.").arg(row.name));
            continue;
        }
        // Both bounds belong to the range; a NaN mean lies outside it.
        if (!(row.mean >= table.rangeLow && row.mean <= table.rangeHigh)) {
            log.AddMessage(MessageError, QStringLiteral("ГС Анализ: Невозможно выполнить проверку по таблице 7.4 для компонента %1. Концентрация вне диапазона.").arg(row.name));
            continue;
        }
        Judge(row, AccuracyRow{table.Ua, table.Ub, table.r3a, table.r3b, table.r2a, table.r2b}, result.nParallel);
    }
}

void CheckGdAnalysis(GasAnalysisResult& result, double S, double M, MessageLog& log)
{
    for (GasAnalysisRow& row : result.rows) {
        ReduceAndSpread(row, S, M);
        const AccuracyRow* accuracy = AccuracyRowGdAnalysis(row.mean);
        if (!accuracy) {
            log.AddMessage(MessageError, QStringLiteral("ГД Анализ: Невозможно выполнить проверку по таблице 8.1 для компонента %1. Концентрация вне диапазона.").arg(row.name));
            continue;
        }
        Judge(row, *accuracy, result.nParallel);
    }
}
