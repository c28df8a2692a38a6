#include "calc/Methanol.h"

#include "data/ChromatogramSlot.h"
#include "calc/ParallelPeaks.h"
#include "data/GasComponents.h"
#include "data/MessageLog.h"
#include "data/Settings.h"

#include <type_traits>
#include <utility>

namespace {

constexpr double kMolarVolume = 24.04;  // dm3/mol at 20 °C
// The gas meter's volume is reduced to 293 K and 101.325 kPa with 273, not
// 273.15, as the laboratory's method has it.
constexpr double kMeterZero = 273.0;
constexpr double kNormalPressure = 101.325;  // kPa
constexpr double kNormalTemperature = 293.0;  // K

// Mass % from mg/dm3: ρ in kg/m3 is 1000 mg/dm3 per unit, in g/cm3 a million.
constexpr double kGasDensityScale = 1000.0;
constexpr double kCondensateDensityScale = 1000000.0;

// All three methanol tables are relative: values in % of the mean.
std::optional<AccuracyValues> GsTable(double mean)
{
    return ReadFoundAccuracyRow(AccuracyRowGsMethanol(mean), NormForm7_10Gs, mean);
}

std::optional<AccuracyValues> GdTable(double mean)
{
    return ReadFoundAccuracyRow(AccuracyRowGdMethanol(mean), NormForm7_10Gd, mean);
}

std::optional<AccuracyValues> DcTable(double mean)
{
    return ReadFoundAccuracyRow(AccuracyRowDcMethanol(mean));
}

} // namespace

MethanolCalculator::MethanolCalculator(Kind kind)
    : m_kind(std::move(kind))
{
}

template <typename Result>
Result MethanolCalculator::Run(const KnownPeakMap& peaks, const CSettings* settings, const Sample& sample,
                               const CalcEnvironment& env)
{
    using Row = typename decltype(Result::rows)::value_type;
    constexpr bool isGas = std::is_same_v<Row, GasMethanolRow>;

    BeginRuns(peaks, settings, m_kind.firstSlot);
    const GeneralSettings& general = SettingsOrDefaults(settings).general;

    Result result;
    const int n = general.*m_kind.countSelector != 0 ? 3 : 2;
    result.nParallel = n;

    const GasComponent* methanol = env.components.FindComponentByName(QStringLiteral("Метанол"));
    if (!methanol)
        return result;
    bool notFound = true;
    const std::vector<ParallelPeak> values =
        TakeParallelPeaks(m_working, m_kind.firstSlot, n, methanol->searchName, notFound);
    // No methanol at all: no row and not a word, not even on the peaks left.
    if (notFound)
        return result;
    ReportMissingParallels(peaks, m_kind.firstSlot, n, env.log);

    for (const QString& text : sample.zeroErrors)
        env.log.AddMessage(MessageError, text);
    result.hasError = !sample.zeroErrors.isEmpty();

    Row row;
    row.id = methanol->id;
    row.name = methanol->searchName;
    const auto perParallel = [&](double c) {
        return sample.sampleVolume != 0.0 ? sample.liquidVolume * c / sample.sampleVolume : 0.0;
    };
    row.conc = ParallelConcentrations(values, m_kind.firstSlot, m_kind.missingText, row.name, env.log, perParallel);

    row.mean = Mean(row.conc);
    if (sample.density != 0.0)
        row.massConc = row.mean * 100.0 / (sample.density * sample.densityScale);
    if constexpr (isGas) {
        // Equals mean × 2.404 / M whenever ρ is set.
        if (methanol->molarMass != 0.0)
            row.molConc = row.massConc * sample.density * kMolarVolume / methanol->molarMass;
    }

    row.range = ParallelSpread(row.conc, AccuracyForm::Relative);
    CheckRepeatability(row, m_kind.accuracy(row.mean), AccuracyForm::Relative, n, m_kind.outOfTableText, env.log);

    if constexpr (isGas)
        result.methanol = row.molConc;
    else
        result.methanol = row.massConc;
    result.rows.push_back(std::move(row));

    ReportUnusedPeaks(env.log);
    return result;
}

CalcGsMethanol::CalcGsMethanol()
    : MethanolCalculator({SlotGsMethanol1, &GeneralSettings::QtyGsMeth,
                          QStringLiteral("%1: Компонент %2 не найден в наборе хромотограмм."),
                          QStringLiteral("ГС Метанол: Невозможно выполнить проверку по таблице 7.10 для компонента %1. Концентрация вне диапазона."),
                          &GsTable})
{
}

GasMethanolResult CalcGsMethanol::Calculate(const KnownPeakMap& peaks, const CSettings* settings, double density,
                                            const CalcEnvironment& env)
{
    const QString prefix = QStringLiteral("ГС Метанол");
    const SamplingParameters& params = SettingsOrDefaults(settings).params;
    Sample sample{params.GsVol1, 0.0, density, kGasDensityScale, {}};
    if (params.GsVol2 == 0.0)
        sample.zeroErrors << NotSetText(prefix, QStringLiteral("Объём пробы газа сепарации, измеренный газовым счетчиком, дм3"));
    if (params.GsPressure == 0.0)
        sample.zeroErrors << NotSetText(prefix, QStringLiteral("Атмосферное давление, кПа"));
    double K = 0.0;  // reduces the metered volume to normal conditions
    if (params.GsTemp + kMeterZero != 0.0)
        K = params.GsPressure * kNormalTemperature / ((params.GsTemp + kMeterZero) * kNormalPressure);
    else
        sample.zeroErrors << QStringLiteral("%1: Недопустимое значение параметра '%2'.")
                                 .arg(prefix, QStringLiteral("Температура газа в газовом счетчике, °С"));
    sample.sampleVolume = params.GsVol2 * K * 1000.0;
    return Run<GasMethanolResult>(peaks, settings, sample, env);
}

CalcGdMethanol::CalcGdMethanol()
    : MethanolCalculator({SlotGdMethanol1, &GeneralSettings::QtyGdMeth,
                          QStringLiteral("%1: Компонент %2 не найден в наборе хромотограмм."),
                          QStringLiteral("ГД Метанол: Невозможно выполнить проверку по таблице 7.10 для компонента %1. Концентрация вне диапазона."),
                          &GdTable})
{
}

GasMethanolResult CalcGdMethanol::Calculate(const KnownPeakMap& peaks, const CSettings* settings, double density,
                                            const CalcEnvironment& env)
{
    const SamplingParameters& params = SettingsOrDefaults(settings).params;
    Sample sample{params.GdVol1, params.GdVol2 * 1000.0, density, kGasDensityScale, {}};
    if (params.GdVol2 == 0.0)
        sample.zeroErrors << NotSetText(QStringLiteral("ГД Метанол"),
                                    QStringLiteral("Объём пробы газа дегазации, пропущенный через поглотительные склянки с раствором сернокислого натрия или водой, дм3"));
    return Run<GasMethanolResult>(peaks, settings, sample, env);
}

CalcDcMethanol::CalcDcMethanol()
    : MethanolCalculator({SlotDcMethanol1, &GeneralSettings::QtyDcMeth,
                          QStringLiteral("%1: Компонент %2 не найден в наборе хроматограмм."),
                          QStringLiteral("ДК Метанол: Невозможно выполнить проверку по таблице 8.9 для компонента %1. Концентрация вне диапазона."),
                          &DcTable})
{
}

CondensateMethanolResult CalcDcMethanol::Calculate(const KnownPeakMap& peaks, const CSettings* settings,
                                                   const CalcEnvironment& env)
{
    const QString prefix = QStringLiteral("ДК Метанол");
    const SamplingParameters& params = SettingsOrDefaults(settings).params;
    Sample sample{params.DcVol1, params.DcVol2, params.DcDensity, kCondensateDensityScale, {}};
    if (params.DcVol2 == 0.0)
        sample.zeroErrors << NotSetText(prefix, QStringLiteral("Объём дегазированного конденсата, взятый для анализа метанола, см3"));
    if (params.DcDensity == 0.0)
        sample.zeroErrors << NotSetText(prefix, QStringLiteral("Плотность дегазированного конденсата, г/см3"));
    return Run<CondensateMethanolResult>(peaks, settings, sample, env);
}
