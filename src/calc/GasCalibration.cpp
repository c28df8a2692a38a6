#include "calc/GasCalibration.h"

#include "calc/ParallelPeaks.h"
#include "calc/RoleAssignment.h"
#include "data/ChromatogramSlot.h"
#include "data/GasComponents.h"
#include "data/MessageLog.h"
#include "data/Settings.h"

#include <QDir>
#include <QStringList>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <map>
#include <utility>

namespace {

struct CalibrationTableEntry
{
    std::int32_t ids[2];  // 0: no second id
    CalibrationNormRow row;
};

// Table 7.4 by the built-in catalogue ids; the normal alkanes share their
// rows with the groups their peaks are merged into.
const CalibrationTableEntry kCalibrationTable[] = {
    {{77, 0}, {1, 0.001, 0.5, 27, 21, 6.5, 5, 18, 14}},          // Водород
    {{85, 0}, {2, 0.001, 0.1, 29, 180, 7, 45, 19, 126}},         // Гелий
    {{1, 0}, {3, 45, 95, 7.8, 0.063, 0.9, 0.008, 2.5, 0.022}},   // Метан
    {{88, 0}, {4, 0.01, 10, 16, 0.9, 3.5, 0.2, 10, 0.55}},       // Азот
    {{2, 0}, {5, 1.5, 15, 5.7, 0.08, 1, 0.023, 2.8, 0.06}},      // Этан
    {{89, 0}, {6, 0.001, 0.5, 21, 10, 5, 2, 14, 5.5}},           // Кислород
    {{79, 0}, {7, 0.1, 30, 11, 0.07, 2, 0.027, 5.5, 0.075}},     // Сульфид водорода
    {{90, 0}, {8, 0.1, 30, 11, 0.07, 2, 0.027, 5.5, 0.075}},     // Диоксид углерода
    {{3, 0}, {9, 0.5, 5, 10, 0.78, 2, 0.2, 5.5, 0.55}},          // Пропан
    {{4, 0}, {10, 0.05, 1, 13, 4.2, 2.6, 1, 7.2, 2.8}},          // 2-Метилпропан
    {{5, 0}, {11, 0.05, 1, 14, 5.3, 3.1, 1.3, 8.6, 3.6}},        // н-Бутан
    {{6, 0}, {12, 0.005, 1, 13, 4, 2.7, 1, 7.5, 2.8}},           // 2-Метилбутан
    {{7, 0}, {13, 0.005, 1, 22, 11, 5, 3, 14, 8}},               // н-Пентан
    {{8, 0}, {14, 0.0005, 0.2, 31, 95, 7.5, 28, 21, 76}},        // 2,2-Диметилпропан
    {{9, 99}, {15, 0.001, 0.5, 30, 18, 7.2, 4.4, 20, 12}},    // н-Гексан, Группа С6
    {{21, 100}, {16, 0.001, 0.5, 33, 34, 8, 9, 22, 25}},      // н-Гептан, Группа С7
    {{32, 101}, {17, 0.0005, 0.2, 33, 40, 8, 10, 22, 28}},    // н-Октан, Группа С8
};

// The factor of a run whose cylinder lacks the component: shown as unset,
// left out of the mean and the range.
constexpr double kNotCounted = -DBL_MAX;

// The mean of the counted entries; 0 when none is counted. No copy: every
// row of every calibration asks.
double CountedMean(const std::vector<double>& values)
{
    double sum = 0.0;
    int n = 0;
    for (double v : values) {
        if (v != kNotCounted) {
            sum += v;
            ++n;
        }
    }
    return n != 0 ? sum / n : 0.0;
}

// (max − min)·100 / mean over the counted entries, zeros included; 0 when the mean is 0.
double RelativeRange(const std::vector<double>& values, double mean)
{
    bool any = false;
    double lo = 0.0, hi = 0.0;
    for (double v : values) {
        if (v == kNotCounted)
            continue;
        lo = any ? std::min(lo, v) : v;
        hi = any ? std::max(hi, v) : v;
        any = true;
    }
    return any && mean != 0.0 ? (hi - lo) * 100.0 / mean : 0.0;
}

// The components whose factor comes from n-butane's, by the component or,
// when given, its group.
struct ButaneDerived
{
    const char16_t* component;
    int carbons;
    const char16_t* alternative;  // nullptr: none
};
constexpr ButaneDerived kButaneDerived[] = {
    {u"н-Пентан", 5, nullptr},
    {u"2-Метилбутан", 5, nullptr},
    {u"2,2-Диметилпропан", 5, nullptr},
    {u"н-Гексан", 6, u"Группа С6"},
    {u"н-Гептан", 7, u"Группа С7"},
    {u"н-Октан", 8, u"Группа С8"},
};

// The carbons of a row's component when its factor may come from n-butane's; 0 for any other.
int ButaneDerivedCarbons(const QString& name, const std::vector<GasCalibrationCalculator::ButaneScaled>& scaled)
{
    for (const GasCalibrationCalculator::ButaneScaled& s : scaled) {
        if (!name.isEmpty() && (name == s.name || name == s.derivedName))
            return s.carbons;
    }
    return 0;
}

double FromButane(double butaneK, int carbons)
{
    return butaneK == kNotCounted ? kNotCounted : butaneK * 4.0 / carbons;
}

// The cylinder's first component of that exact name; null when it has none.
const MixCompData* FindMixtureComponent(const MixtureData* mixture, const QString& name)
{
    if (!mixture)
        return nullptr;
    const auto it = std::find_if(mixture->components.begin(), mixture->components.end(),
                                 [&](const MixCompData& component) { return component.name == name; });
    return it != mixture->components.end() ? &*it : nullptr;
}

// Nitrogen that entered with air goes with its oxygen in this ratio.
constexpr double kNitrogenPerOxygen = 3.73;

} // namespace

CalibrationNormRow CalibrationTableRow(std::int32_t componentId)
{
    if (componentId <= 0)
        return CalibrationNormRow{};
    for (const CalibrationTableEntry& entry : kCalibrationTable) {
        for (std::int32_t id : entry.ids) {
            if (id == componentId)
                return entry.row;
        }
    }
    return CalibrationNormRow{};
}

bool CompareCalibrationRows(const CalibrationRow& a, const CalibrationRow& b)
{
    return CalibrationTableRow(a.id).rowNo < CalibrationTableRow(b.id).rowNo;
}

std::vector<CalibrationRow> CopyCalibrationRows(const std::vector<CalibrationRow>& rows)
{
    return std::vector<CalibrationRow>(rows.begin(), rows.end());
}

GasCalibrationCalculator::GasCalibrationCalculator(Kind kind)
    : m_kind(std::move(kind))
{
}

std::vector<GasCalibrationCalculator::ButaneScaled> GasCalibrationCalculator::ButaneScaledNames(const GasComponentTable& catalogue)
{
    std::vector<ButaneScaled> scaled;
    for (const ButaneDerived& d : kButaneDerived) {
        const QString name = catalogue.GetComponentSearchName(QString::fromUtf16(d.component));
        const QString derivedName = d.alternative ? catalogue.GetComponentSearchName(QString::fromUtf16(d.alternative)) : name;
        scaled.push_back({name, derivedName, d.carbons});
    }
    return scaled;
}

CalibrationResult GasCalibrationCalculator::Calculate(const MixtureList* cylinders, const CalibrationRuns& runs,
                                                      const KnownPeakMap& peaks, const CSettings* settings,
                                                      const CalcEnvironment& env)
{
    m_settings = settings;
    m_working.clear();
    const GeneralSettings& general = SettingsOrDefaults(settings).general;
    const int nParallel = general.*m_kind.countSelector != 0 ? 5 : 3;

    CalibrationResult result;

    const MixtureList none;
    const MixtureList& list = cylinders ? *cylinders : none;
    const auto isOfKind = [&](const MixturePtr& m) { return m && m->type == m_kind.mixtureType; };
    const auto firstOfKind = std::find_if(list.begin(), list.end(), isOfKind);
    if (firstOfKind == list.end()) {
        env.log.AddMessage(MessageError, m_kind.prefix + QStringLiteral(": Отсутствует %1 баллон.").arg(m_kind.gasText));
        return result;
    }
    result.nParallel = nParallel;
    ReportMissingParallels(peaks, m_kind.firstSlot, nParallel, env.log);

    // The cylinder of each parallel run that is there, and those cylinders
    // in run order; with no run at all, the first of the kind.
    std::vector<const MixtureData*> runCylinder(static_cast<std::size_t>(nParallel), nullptr);
    std::vector<const MixtureData*> used;
    // With one cylinder of the kind there is nothing to choose.
    const bool choice = std::any_of(std::next(firstOfKind), list.end(), isOfKind);
    static const ChromatogramRecord unnamed;
    for (int i = 0; i < nParallel; ++i) {
        const int slot = m_kind.firstSlot + i;
        if (!peaks.contains(slot))
            continue;
        const auto run = runs.find(slot);
        const ChromatogramRecord& record = run != runs.end() && run->second ? *run->second : unnamed;
        const RunCylinder cylinder = CalibrationCylinder(record, slot, list);
        const MixtureData* mixture = cylinder.mixture.get();
        if (!cylinder.named && (choice || cylinder.otherNamed))
            env.log.AddMessage(MessageWarning, QStringLiteral("%1: В названии пробы хроматограммы %2 не найден баллон %3, использован баллон %4.")
                                                   .arg(ChromatogramSlotName(slot), QDir::toNativeSeparators(record.path),
                                                        m_kind.gasText, mixture->name));
        runCylinder[static_cast<std::size_t>(i)] = mixture;
        if (std::find(used.begin(), used.end(), mixture) == used.end())
            used.push_back(mixture);
    }
    if (used.empty())
        used.push_back(firstOfKind->get());
    if (used.size() > 1) {
        QStringList perRun;
        for (int i = 0; i < nParallel; ++i) {
            if (const MixtureData* mixture = runCylinder[static_cast<std::size_t>(i)])
                perRun.append(QStringLiteral("%1 (%2)").arg(ChromatogramSlotName(m_kind.firstSlot + i), mixture->name));
        }
        env.log.AddMessage(MessageWarning, m_kind.prefix + QStringLiteral(": Хроматограммы калибровки относятся к разным баллонам: %1.")
                                                               .arg(perRun.join(QStringLiteral(", "))));
    }

    // By exact name, in code-unit order; the first run's cylinder that holds
    // a component supplies the concentration shown.
    std::map<QString, const MixCompData*> components;
    for (const MixtureData* mixture : used) {
        for (const MixCompData& component : mixture->components)
            components.try_emplace(component.name, &component);
    }

    // All five calibration slots: runs beyond the parallel count stay in the
    // working lists and are reported as unused.
    LoadWorkingPeaks(m_working, peaks, m_kind.firstSlot, 5);

    const std::vector<ButaneScaled> scaled = ButaneScaledNames(env.components);
    for (const auto& [name, component] : components) {
        bool notFound = true;
        const std::vector<ParallelPeak> values = TakeParallelPeaks(m_working, m_kind.firstSlot, nParallel, name, notFound);
        if (notFound) {
            env.log.AddMessage(MessageError, m_kind.prefix + QStringLiteral(": Компонент %1 не найден в хромотограммах.").arg(name));
            continue;
        }
        const GasSearchEntry* entry = env.components.FindComponentBySearchName(name);
        if (!entry || !entry->component) {
            env.log.AddMessage(MessageError, m_kind.prefix + QStringLiteral(": Компонент %1 из баллона не найден в списке компонентов.").arg(name));
            continue;
        }
        const double x = component->concentration;
        // The cylinder dialog marks a concentration never typed in with a
        // negative value; a factor made from it would be negative.
        const auto notSet = [](double value) { return !(value >= 0.0) || !std::isfinite(value); };
        bool unset = notSet(x);
        // Each run's own certified value; NaN where its cylinder lacks the
        // component, which leaves that run's factor 0.
        std::vector<double> runX(static_cast<std::size_t>(nParallel), std::nan(""));
        for (std::size_t i = 0; i < runX.size(); ++i) {
            if (const MixCompData* own = FindMixtureComponent(runCylinder[i], name)) {
                runX[i] = own->concentration;
                unset = unset || notSet(own->concentration);
            }
        }
        if (unset) {
            env.log.AddMessage(MessageError, m_kind.prefix + QStringLiteral(": Концентрация компонента %1 в баллоне не задана.").arg(name));
            continue;
        }

        CalibrationRow row;
        row.id = entry->component->id;
        row.name = name;
        row.conc_mol = x;
        row.K.assign(static_cast<std::size_t>(nParallel), 0.0);
        row.areas.assign(static_cast<std::size_t>(nParallel), 0.0);
        row.runConc = runX;
        const bool fromButane = ButaneDerivedCarbons(name, scaled) != 0;
        for (int i = 0; i < nParallel; ++i) {
            const std::size_t at = static_cast<std::size_t>(i);
            const ParallelPeak& value = values[at];
            if (!value.slotPresent)
                continue;  // a missing run: its factor stays 0, warned of above
            if (value.peak)
                row.areas[at] = value.peak->area;  // oxygen's counts for nitrogen whatever the cylinder
            if (std::isnan(runX[at])) {
                // The run's cylinder lacks the component: a pentane or group
                // takes the run's n-butane factor below, any other is left out.
                row.K[at] = kNotCounted;
                if (!fromButane && runCylinder[at])
                    env.log.AddMessage(MessageWarning, QStringLiteral("%1: Компонент %2 отсутствует в баллоне %3, коэффициент не учтён в среднем и размахе.")
                                                           .arg(ChromatogramSlotName(m_kind.firstSlot + i), name, runCylinder[at]->name));
                continue;
            }
            if (!value.peak) {
                env.log.AddMessage(MessageError, QStringLiteral("%1: Компонент %2 не найден в наборе хромотограмм.")
                                                     .arg(ChromatogramSlotName(m_kind.firstSlot + i), name));
                continue;
            }
            if (row.areas[at] != 0.0)
                row.K[at] = runX[at] / row.areas[at];
        }
        row.Kavr = CountedMean(row.K);
        row.Rk = RelativeRange(row.K, row.Kavr);

        const CalibrationNormRow norm = CalibrationTableRow(row.id);
        if (norm.rowNo == -1) {
            env.log.AddMessage(MessageWarning, m_kind.prefix + QStringLiteral(": Невозможно выполнить проверку по таблице 7.4 для компонента %1. Компонент отсутствует в таблице.").arg(name));
        } else if (x < norm.rangeLow || x > norm.rangeHigh) {
            env.log.AddMessage(MessageError, m_kind.prefix + QStringLiteral(": Невозможно выполнить проверку по таблице 7.4 для компонента %1. Концентрация вне диапазона.").arg(name));
        } else {
            row.norm = (norm.r3a - norm.r3b * x) * 3.3;
            row.ok = row.norm >= row.Rk;
        }
        result.rows.push_back(std::move(row));
    }

    if (general.*m_kind.nitrogenSwitch != 0)
        CorrectNitrogen(result, env);
    PentanesFromButane(result, scaled, env);
    SortRows(result, env);

    for (const QString& text : CollectUnusedPeakWarnings(m_working))
        env.log.AddMessage(MessageInfo, text);
    return result;
}

void GasCalibrationCalculator::CorrectNitrogen(CalibrationResult& result, const CalcEnvironment& env) const
{
    auto named = [&](const QString& name) {
        return std::find_if(result.rows.begin(), result.rows.end(),
                            [&](const CalibrationRow& row) { return row.name == name; });
    };
    const auto oxygen = named(QStringLiteral("Кислород"));
    const auto nitrogen = named(QStringLiteral("Азот"));
    if (oxygen == result.rows.end()) {
        env.log.AddMessage(MessageWarning, m_kind.prefix + QStringLiteral(": Коррекция Азота в не произведена (не найден пик Кислорода)."));
        return;
    }
    if (nitrogen == result.rows.end()) {
        env.log.AddMessage(MessageWarning, m_kind.prefix + QStringLiteral(": Коррекция Азота не произведена (не найден пик Азота)."));
        return;
    }

    const std::size_t runs = std::min({static_cast<std::size_t>(std::max(result.nParallel, 0)), oxygen->areas.size(),
                                       nitrogen->areas.size(), nitrogen->K.size(), nitrogen->runConc.size()});
    int corrected = 0;
    for (std::size_t i = 0; i < runs; ++i) {
        // The run's own certified value: its cylinder may not be the one
        // whose concentration the row shows, and may hold no nitrogen.
        const double certified = nitrogen->runConc[i];
        if (oxygen->areas[i] == 0.0 || nitrogen->areas[i] == 0.0 || std::isnan(certified) || certified == 0.0)
            continue;
        const double area = nitrogen->areas[i] - kNitrogenPerOxygen * oxygen->areas[i];
        // More oxygen than air brings with it leaves no nitrogen to divide by.
        if (!(area > 0.0)) {
            env.log.AddMessage(MessageWarning, m_kind.prefix + QStringLiteral(": Коррекция Азота в хроматограмме %1 не произведена (площадь пика Азота после коррекции не больше нуля).")
                                                                   .arg(ChromatogramSlotName(m_kind.firstSlot + static_cast<int>(i))));
            continue;
        }
        nitrogen->areas[i] = area;
        nitrogen->K[i] = certified / area;
        ++corrected;
    }
    if (corrected == 0)
        return;
    // Rk, norm and ok stay those of the uncorrected factors.
    nitrogen->Kavr = CountedMean(nitrogen->K);
    env.log.AddMessage(MessageInfo, m_kind.prefix + QStringLiteral(": Проведена коррекция азота по СТО Газпром 5.40 - 2011 п. 7.3.2.2."));
}

void GasCalibrationCalculator::PentanesFromButane(CalibrationResult& result, const std::vector<ButaneScaled>& scaled,
                                                  const CalcEnvironment& env) const
{
    const GasComponentTable& catalogue = env.components;
    const QString butaneName = catalogue.GetComponentSearchName(QStringLiteral("н-Бутан"));
    const auto butane = std::find_if(result.rows.begin(), result.rows.end(), [&](const CalibrationRow& row) {
        return !butaneName.isEmpty() && row.name == butaneName;
    });
    if (butane == result.rows.end()) {
        env.log.AddMessage(MessageWarning, m_kind.prefix + QStringLiteral(": Не найден н-бутан для расчета пентанов/с6/с7/с8."));
        return;
    }
    // A copy: the rows grow below.
    const std::vector<double> butaneK = butane->K;

    // A measured row takes, for each run whose cylinder lacks it, that run's
    // n-butane factor, as a row no cylinder gives takes for every run.
    for (CalibrationRow& row : result.rows) {
        const int carbons = ButaneDerivedCarbons(row.name, scaled);
        bool filled = false;
        for (std::size_t i = 0; carbons != 0 && i < row.K.size() && i < butaneK.size(); ++i) {
            if (row.K[i] == kNotCounted) {
                row.K[i] = FromButane(butaneK[i], carbons);
                filled = true;
            }
        }
        if (!filled)
            continue;
        row.Kavr = CountedMean(row.K);
        row.Rk = RelativeRange(row.K, row.Kavr);
        if (row.norm > 0.0)  // checked against the table: every norm there is positive
            row.ok = row.norm >= row.Rk;
    }

    for (const ButaneScaled& s : scaled) {
        if (s.name.isEmpty() || s.derivedName.isEmpty())
            continue;  // not in the catalogue: nothing to derive
        const bool measured = std::any_of(result.rows.begin(), result.rows.end(),
                                          [&](const CalibrationRow& row) { return row.name == s.name; });
        if (measured)
            continue;
        const GasSearchEntry* entry = catalogue.FindComponentBySearchName(s.derivedName);
        if (!entry || !entry->component)
            continue;

        CalibrationRow row;
        row.id = entry->component->id;
        row.name = s.derivedName;
        row.K.reserve(butaneK.size());
        for (double k : butaneK)
            row.K.push_back(FromButane(k, s.carbons));
        row.Kavr = CountedMean(row.K);
        row.Rk = RelativeRange(row.K, row.Kavr);
        row.ok = true;
        result.rows.push_back(std::move(row));
    }
}

void GasCalibrationCalculator::SortRows(CalibrationResult& result, const CalcEnvironment& env) const
{
    // Each row's rank is found once, not at every comparison: a rank by
    // molar mass is a look-up in the catalogue. A row whose component is
    // unknown goes last, which keeps the order a strict one.
    auto rank = [&](const CalibrationRow& row) {
        if (m_kind.order == RowOrder::TableRow)
            return std::pair<int, double>(CalibrationTableRow(row.id).rowNo, 0.0);
        const GasSearchEntry* entry = env.components.FindComponentBySearchName(row.name);
        if (!entry || !entry->component || std::isnan(entry->component->molarMass))
            return std::pair<int, double>(INT_MAX, 0.0);
        return std::pair<int, double>(0, entry->component->molarMass);
    };
    std::vector<std::pair<std::pair<int, double>, std::size_t>> ranked;
    ranked.reserve(result.rows.size());
    for (std::size_t i = 0; i < result.rows.size(); ++i)
        ranked.push_back({rank(result.rows[i]), i});
    // Stable, so rows of equal rank keep the order they were made in.
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<CalibrationRow> sorted;
    sorted.reserve(result.rows.size());
    for (const auto& [key, i] : ranked)
        sorted.push_back(std::move(result.rows[i]));
    result.rows = std::move(sorted);
}

CalcGsCalibration::CalcGsCalibration()
    : GasCalibrationCalculator({QStringLiteral("ГС Калибровка"), QStringLiteral("ГС"), MixtureKindGs,
                                SlotGsCalibration1, &GeneralSettings::QtyGsCalib,
                                &GeneralSettings::enGsGradCorrect, RowOrder::TableRow})
{
}

CalcGdCalibration::CalcGdCalibration()
    : GasCalibrationCalculator({QStringLiteral("ГД Калибровка"), QStringLiteral("ГД"), MixtureKindGd,
                                SlotGdCalibration1, &GeneralSettings::QtyGdCalib,
                                &GeneralSettings::enGdGradCorrect, RowOrder::MolarMass})
{
}
