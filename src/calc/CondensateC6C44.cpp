#include "calc/CondensateC6C44.h"

#include "calc/AccuracyTables.h"
#include "calc/CalcData.h"
#include "data/ChromatogramSlot.h"
#include "calc/SignalIntegration.h"
#include "data/GasComponents.h"
#include "data/MessageLog.h"
#include "data/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

namespace {

// The first cut and then one every 10 °C, all in whole °C.
constexpr int kFirstCutLow = 45;
constexpr int kSecondCutLow = 60;
constexpr int kCutWidth = 10;
constexpr int kLastCutLow = 520;

std::int32_t FractionId(int low, int high)
{
    return (low + 1000) * 1000 + high;
}

QString SlotName(int parallel)
{
    return ChromatogramSlotName(SlotDcC6C44_1 + parallel);
}

const GasComponent* Catalogue(const CalcEnvironment& env, const char16_t* name)
{
    return env.components.FindComponentByName(QString::fromUtf16(name));
}

// What the light components take of the condensate: hydrogen sulphide and
// the other sulphur compounds summed as mercaptans, methanol, then C1-C5.
void AddLightRows(CondensateResult& result, const CondensateResult& c1c5, const SulphurResult& sulphur,
                  const CondensateMethanolResult& methanol, const CalcEnvironment& env)
{
    const GasComponent* hydrogenSulphide = Catalogue(env, u"Сульфид водорода");
    const SulphurRow* hydrogenSulphideRow = nullptr;
    double others = 0.0;
    for (const SulphurRow& row : sulphur.rows) {
        if (hydrogenSulphide && row.id == hydrogenSulphide->id) {
            if (!hydrogenSulphideRow)
                hydrogenSulphideRow = &row;
        } else {
            others += row.mean;
        }
    }
    if (hydrogenSulphideRow)
        AddResultRow(result, hydrogenSulphideRow->id, hydrogenSulphideRow->name, hydrogenSulphideRow->mean);
    if (others != 0.0) {
        if (const GasComponent* mercaptans = Catalogue(env, u"Меркаптаны"))
            AddResultRow(result, mercaptans->id, mercaptans->searchName, others);
    }
    if (methanol.methanol != 0.0) {
        if (const GasComponent* component = Catalogue(env, u"Метанол"))
            AddResultRow(result, component->id, component->searchName, methanol.methanol);
    }
    for (const CondensateRow& row : c1c5.rows)
        AddResultRow(result, row.id, row.name, row.mean);
}

// out[i] = max(0, (sample[i] - blank[i]) - level) in double, rounded to float;
// from i = first on, the plain loop.
void SubtractSamplesFrom(std::size_t first, const float* sample, const float* blank, double level, float* out,
                         std::size_t n)
{
    for (std::size_t i = first; i < n; ++i)
        out[i] = static_cast<float>(AboveZero((static_cast<double>(sample[i]) - static_cast<double>(blank[i])) - level));
}

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#define TAVRIN_SUBTRACT_X86 1

// Eight at a time, with the very roundings of the plain loop, on processors
// that have AVX.
__attribute__((target("avx"))) void SubtractSamplesAvx(const float* sample, const float* blank, double level,
                                                      float* out, std::size_t n)
{
    const __m256d zero = _mm256_setzero_pd();
    const __m256d shift = _mm256_set1_pd(level);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256 s = _mm256_loadu_ps(sample + i);
        const __m256 b = _mm256_loadu_ps(blank + i);
        const __m256d low = _mm256_max_pd(
            _mm256_sub_pd(_mm256_sub_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(s)),
                                        _mm256_cvtps_pd(_mm256_castps256_ps128(b))),
                          shift),
            zero);
        const __m256d high = _mm256_max_pd(
            _mm256_sub_pd(_mm256_sub_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(s, 1)),
                                        _mm256_cvtps_pd(_mm256_extractf128_ps(b, 1))),
                          shift),
            zero);
        _mm_storeu_ps(out + i, _mm256_cvtpd_ps(low));
        _mm_storeu_ps(out + i + 4, _mm256_cvtpd_ps(high));
    }
    SubtractSamplesFrom(i, sample, blank, level, out, n);
}
#endif

void SubtractSamples(const float* sample, const float* blank, double level, float* out, std::size_t n)
{
#ifdef TAVRIN_SUBTRACT_X86
    static const bool avx = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    if (avx) {
        SubtractSamplesAvx(sample, blank, level, out, n);
        return;
    }
#endif
    SubtractSamplesFrom(0, sample, blank, level, out, n);
}

// The samples between two retention times; tEnd == kSignalEnd runs to the last sample.
std::pair<qsizetype, qsizetype> SampleRange(const CLattice& samples, double tStart, double tEnd)
{
    const qsizetype last = samples.size() - 1;
    const qsizetype iEnd = tEnd == kSignalEnd ? last : std::min(SampleIndex(samples, tEnd), last);
    return {SampleIndex(samples, tStart), iEnd};
}

} // namespace

double InterpolateLinear(const CalibrationPoints& points, double x)
{
    auto tooFew = [](std::size_t count) {
        return std::out_of_range("Недостаточно точек для продолжения расчета: " + std::to_string(count));
    };
    const std::size_t n = points.size();
    if (n < 2)
        throw tooFew(n);

    std::size_t i = 0;
    for (; i < n; ++i) {
        if (points[i].first == x)
            return points[i].second;
        if (points[i].first > x)
            break;
    }
    const bool beforeFirst = i == 0;
    if (i == n)
        i = n - 1;
    if (i == 0)
        i = 1;
    // Only an end segment can have no width (a repeated temperature at either
    // end); the nearest one with width, further in, stands for it.
    const auto flat = [&points](std::size_t j) { return points[j].first == points[j - 1].first; };
    while (flat(i) && (beforeFirst ? i + 1 < n : i > 1))
        i = beforeFirst ? i + 1 : i - 1;
    if (flat(i))
        throw tooFew(1); // every point at one temperature
    const auto& [x0, y0] = points[i - 1];
    const auto& [x1, y1] = points[i];
    return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

void AddResultRow(CondensateResult& result, std::int32_t id, const QString& name, double value)
{
    CondensateRow row;
    row.id = id;
    row.name = name;
    row.conc.assign(static_cast<std::size_t>(std::max(result.nParallel, 0)), value);
    row.mean = value;
    row.ok = true;
    result.rows.push_back(std::move(row));
}

void AccumulateCut(CondensateResult& result, const CalibrationPoints& points, const BaselineIntegrator& signal,
                   int parallel, int low, int high)
{
    const std::int32_t id = FractionId(low, high);
    auto row = std::find_if(result.rows.begin(), result.rows.end(), [id](const CondensateRow& r) { return r.id == id; });
    if (row == result.rows.end()) {
        CondensateRow fresh;
        fresh.id = id;
        fresh.name = FractionRangeText(id);
        fresh.conc.assign(static_cast<std::size_t>(std::max(result.nParallel, 0)), 0.0);
        result.rows.push_back(std::move(fresh));
        row = std::prev(result.rows.end());
    }
    const double tHigh = InterpolateLinear(points, high);
    const double tLow = InterpolateLinear(points, low);
    if (parallel < 0 || static_cast<std::size_t>(parallel) >= row->conc.size())
        return;
    const CLattice& samples = signal.signal();
    row->conc[static_cast<std::size_t>(parallel)] =
        signal.IntegratedArea(SampleIndex(samples, tLow), std::min(SampleIndex(samples, tHigh), samples.size() - 1));
}

double IntegrateRange(const BaselineIntegrator& signal, double tStart, double tEnd)
{
    const auto [iStart, iEnd] = SampleRange(signal.signal(), tStart, tEnd);
    return signal.IntegratedArea(iStart, iEnd);
}

bool CheckC6C44Row(CondensateRow& row, int nParallel)
{
    const AccuracyRow* accuracy = AccuracyRowC6C44(row.mean);
    if (!accuracy)
        return false;
    const AccuracyValues values = ReadAccuracyRow(*accuracy, NormForm8_7, row.mean);
    row.norm = AcceptanceLimit(values, nParallel);
    row.ok = row.norm >= row.range;
    row.uncertainty = AbsoluteUncertainty(values, NormForm8_7, row.mean);
    return true;
}

CondensateC6C44Calculator::CondensateC6C44Calculator(Texts texts)
    : m_texts(std::move(texts))
{
}

CondensateResult CondensateC6C44Calculator::Calculate(const CalcData* data, const CSettings* settings,
                                                      const CondensateResult& c1c5, const TemperatureResult& temperature,
                                                      const SulphurResult& sulphur,
                                                      const CondensateMethanolResult& methanol,
                                                      const CalcEnvironment& env)
{
    m_data = data;
    m_settings = settings;
    m_chromatograms.clear();
    const GeneralSettings& general = SettingsOrDefaults(settings).general;

    CondensateResult result;
    result.nParallel = general.QtyDcC6C44 != 0 ? 3 : 2;
    auto stop = [&](const QString& text) {
        env.log.AddMessage(MessageError, text);
        result.hasError = true;
        return result;
    };

    for (int p = 0; p < result.nParallel; ++p) {
        if (!data)
            return stop(m_texts.missingChromatogram.arg(SlotName(p)));
        const int slot = SlotDcC6C44_1 + p;
        const auto found = data->chromatograms().lower_bound(slot);
        if (found == data->chromatograms().end() || found->first != slot)
            return stop(m_texts.missingChromatogram.arg(SlotName(p)));
        // A second chromatogram of the same run is left out: it would take
        // the place of the next parallel.
        m_chromatograms.push_back(found->second);
    }

    if (general.enBlankSubtraction != 0 && !SubtractBlank(result, env.log)) {
        result.hasError = true;
        return result;
    }

    AddLightRows(result, c1c5, sulphur, methanol, env);
    double light = 0.0;
    for (const CondensateRow& row : result.rows)
        light += row.mean;
    const double rest = 100.0 - light;
    if (rest < 0.0)
        return stop(m_texts.excess);
    if (temperature.hasError)
        return stop(m_texts.curveError);
    if (temperature.rows.size() < 2)
        return stop(m_texts.tooFewPoints);

    CondensateResult areas;
    areas.nParallel = result.nParallel;
    const bool complete = ComputeAreas(areas, temperature, result, env);
    if (complete)
        NormaliseAndCheck(areas, rest, result, env.log);
    result.rows.insert(result.rows.end(), std::make_move_iterator(areas.rows.begin()),
                       std::make_move_iterator(areas.rows.end()));
    return result;
}

bool CondensateC6C44Calculator::SubtractBlank(CondensateResult& result, MessageLog& log)
{
    if (!m_data || m_data->chromatograms().count(SlotBlank) != 1) {
        log.AddMessage(MessageError, m_texts.oneBlank);
        return false;
    }
    const CalcChromatogram& blank = m_data->chromatograms().find(SlotBlank)->second;
    const SampleVector& blankSamples = blank.signal.samples();
    for (std::size_t k = 0; k < m_chromatograms.size(); ++k) {
        CalcChromatogram& copy = m_chromatograms[k];
        const double level = copy.baselineLevel - blank.baselineLevel;
        // Subtracting a level that is not a number would wipe out the whole signal.
        if (!std::isfinite(level)) {
            log.AddMessage(MessageError, m_texts.blankLevel.arg(SlotName(static_cast<int>(k))));
            result.hasError = true;
            continue;
        }
        // Into fresh samples: the copy's own are shared with its record.
        const SampleVector& samples = std::as_const(copy.signal).samples();
        const std::size_t n = std::min(samples.size(), blankSamples.size());
        SampleVector subtracted(n);
        SubtractSamples(samples.data(), blankSamples.data(), level, subtracted.data(), n);
        copy.signal.setSamples(std::move(subtracted));
    }
    return true;
}

void CondensateC6C44Calculator::NormaliseAndCheck(CondensateResult& areas, double rest, CondensateResult& result,
                                                  MessageLog& log) const
{
    const int n = areas.nParallel;
    for (int p = 0; p < n; ++p) {
        const auto k = static_cast<std::size_t>(p);
        double total = 0.0;
        for (const CondensateRow& row : areas.rows)
            total += row.conc[k];
        // A parallel without any area has nothing to share out; its values stay 0.
        if (total == 0.0 || !std::isfinite(total)) {
            log.AddMessage(MessageError, m_texts.zeroTotal.arg(SlotName(p)));
            result.hasError = true;
            for (CondensateRow& row : areas.rows)
                row.conc[k] = 0.0;
            continue;
        }
        for (CondensateRow& row : areas.rows)
            row.conc[k] = rest * row.conc[k] / total;
    }

    for (CondensateRow& row : areas.rows) {
        double sum = 0.0;
        for (double value : row.conc)
            sum += value;
        row.mean = sum / n;
        if (sum != 0.0) {
            const auto [lo, hi] = std::minmax_element(row.conc.begin(), row.conc.end());
            // The spread in % of the mean.
            row.range = std::fabs(*hi - *lo) * n * 100.0 / sum;
        }
        if (!CheckC6C44Row(row, n))
            log.AddMessage(MessageError, m_texts.outOfTable.arg(row.name));
    }
}

CalcDcC6C44Fractions::CalcDcC6C44Fractions()
    : CondensateC6C44Calculator({
          QStringLiteral("ДК С6С44 Фр.: Невозможно рассчитать фракции, отсутствует хроматограмма: %1."),
          QStringLiteral("ДК С6С44 Фр.: Необходимо задать одну холостую хроматограмму."),
          QStringLiteral("ДК С6С44 Фр.: Невозможно вычесть холостую хроматограмму, не определен уровень базовой линии: %1."),
          QStringLiteral("ДК С6С44 Фр: Невозможно рассчитать фракции, сумма концентраций: С1-С5 + ССС + Метанол > 100%"),
          QStringLiteral("ДК С6С44 Фр: Невозможно рассчитать фракции, ошибка в градуировочном графике"),
          QStringLiteral("ДК С6С44 Фр: Невозможно рассчитать фракции, недостаточно точек для аппроксимации"),
          QStringLiteral("ДК С6С44 Фр.: Невозможно нормировать фракции, суммарная площадь равна нулю: %1."),
          QStringLiteral("ДК С6С44 Фр : Невозможно выполнить проверку по таблице 8.7 для фракции %1.Концентрация вне диапазона."),
      })
{
}

bool CalcDcC6C44Fractions::ComputeAreas(CondensateResult& areas, const TemperatureResult& temperature,
                                        CondensateResult& result, const CalcEnvironment& env)
{
    CalibrationPoints points;
    points.reserve(temperature.rows.size());
    for (const TemperatureRow& row : temperature.rows)
        points.emplace_back(row.temperature, row.retentionTime);

    // The cuts' times come from the curve alone, the same for every parallel;
    // each fraction's row is made by its first cut.
    struct Cut
    {
        std::size_t row;
        double tLow;
        double tHigh;
    };
    std::vector<Cut> cuts;
    auto addCut = [&](int low, int high) {
        const std::int32_t id = FractionId(low, high);
        auto row = std::find_if(areas.rows.begin(), areas.rows.end(), [id](const CondensateRow& r) { return r.id == id; });
        if (row == areas.rows.end()) {
            CondensateRow fresh;
            fresh.id = id;
            fresh.name = FractionRangeText(id);
            fresh.conc.assign(static_cast<std::size_t>(std::max(areas.nParallel, 0)), 0.0);
            areas.rows.push_back(std::move(fresh));
            row = std::prev(areas.rows.end());
        }
        const auto index = static_cast<std::size_t>(row - areas.rows.begin());
        const double tHigh = InterpolateLinear(points, high);
        const double tLow = InterpolateLinear(points, low);
        cuts.push_back({index, tLow, tHigh});
    };
    try {
        addCut(kFirstCutLow, kSecondCutLow);
        for (int low = kSecondCutLow; low <= kLastCutLow; low += kCutWidth)
            addCut(low, low + kCutWidth);
    } catch (const std::exception&) {
        env.log.AddMessage(MessageError, texts().tooFewPoints);
        result.hasError = true;
        return false;
    }

    for (std::size_t k = 0; k < chromatograms().size(); ++k) {
        const CalcChromatogram& copy = chromatograms()[k];
        const BaselineIntegrator signal(copy.signal, BuildBaselineSegments(copy.signal, copy.peakTable));
        const qsizetype last = copy.signal.size() - 1;
        std::vector<std::pair<qsizetype, qsizetype>> ranges;
        ranges.reserve(cuts.size());
        for (const Cut& cut : cuts)
            ranges.emplace_back(SampleIndex(copy.signal, cut.tLow), std::min(SampleIndex(copy.signal, cut.tHigh), last));
        const std::vector<double> values = signal.IntegratedAreas(ranges);
        for (std::size_t c = 0; c < cuts.size(); ++c) {
            std::vector<double>& conc = areas.rows[cuts[c].row].conc;
            if (k < conc.size())
                conc[k] = values[c];
        }
    }
    return true;
}

CalcDcC6C44Groups::CalcDcC6C44Groups()
    : CondensateC6C44Calculator({
          QStringLiteral("ДК С6С44 Гр.: Невозможно рассчитать группы, отсутствует хроматограмма: %1."),
          QStringLiteral("ДК С6С44 Гр.: Необходимо задать одну холостую хроматограмму."),
          QStringLiteral("ДК С6С44 Гр.: Невозможно вычесть холостую хроматограмму, не определен уровень базовой линии: %1."),
          QStringLiteral("ДК С6С44 Гр.: Невозможно рассчитать группы, сумма концентраций: С1-С5 + ССС + Метанол > 100%"),
          QStringLiteral("ДК С6С44 Гр.: Невозможно рассчитать группы, ошибка в градуировочном графике."),
          QStringLiteral("ДК С6С44 Гр.: Невозможно рассчитать группы, недостаточно точек для аппроксимации."),
          QStringLiteral("ДК С6С44 Гр.: Невозможно нормировать группы, суммарная площадь равна нулю: %1."),
          QStringLiteral("ДК С6С44 Гр.: Невозможно выполнить проверку по таблице 8.7 для фракции %1. Концентрация вне диапазона."),
      })
{
}

bool CalcDcC6C44Groups::ComputeAreas(CondensateResult& areas, const TemperatureResult& temperature,
                                     CondensateResult& result, const CalcEnvironment& env)
{
    static const char16_t* const kMarkers[] = {u"С6", u"С7", u"С8", u"С9", u"С10", u"С11", u"С12"};
    constexpr std::size_t kGroups = std::size(kMarkers);

    std::vector<double> bounds;  // marker times, then the end of the signal
    bool missing = false;
    for (const char16_t* marker : kMarkers) {
        const QString name = QString::fromUtf16(marker);
        const auto found = std::find_if(temperature.rows.rbegin(), temperature.rows.rend(), [&](const TemperatureRow& row) {
            return QString::compare(row.name, name, Qt::CaseInsensitive) == 0;
        });
        if (found == temperature.rows.rend()) {
            env.log.AddMessage(MessageError, QStringLiteral("ДК С6С44 Гр.: Время выхода %1 не задано.").arg(name));
            missing = true;
            continue;
        }
        bounds.push_back(found->retentionTime);
    }
    if (missing) {
        result.hasError = true;
        return false;
    }
    bounds.push_back(kSignalEnd);

    // Group j lies between marker j and the next one.
    const GasComponentList& groups = env.components.ComponentGroupsC6C12();
    std::vector<std::size_t> groupMarker;
    for (std::size_t j = 0; j < groups.size() && j < kGroups; ++j) {
        if (!groups[j])
            continue;
        CondensateRow row;
        row.id = groups[j]->id;
        row.name = groups[j]->searchName;
        row.conc.assign(static_cast<std::size_t>(areas.nParallel), 0.0);
        areas.rows.push_back(std::move(row));
        groupMarker.push_back(j);
    }

    for (std::size_t k = 0; k < chromatograms().size(); ++k) {
        const CalcChromatogram& copy = chromatograms()[k];
        const BaselineIntegrator signal(copy.signal, BuildBaselineSegments(copy.signal, copy.peakTable));
        std::vector<std::pair<qsizetype, qsizetype>> ranges;
        ranges.reserve(areas.rows.size());
        for (std::size_t r = 0; r < areas.rows.size(); ++r) {
            const std::size_t j = groupMarker[r];
            ranges.push_back(SampleRange(copy.signal, bounds[j], bounds[j + 1]));
        }
        const std::vector<double> values = signal.IntegratedAreas(ranges);
        for (std::size_t r = 0; r < areas.rows.size(); ++r)
            areas.rows[r].conc[k] = values[r];
    }
    return true;
}
