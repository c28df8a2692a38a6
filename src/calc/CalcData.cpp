#include "calc/CalcData.h"

#include "data/ChromatogramSlot.h"
#include "data/MessageLog.h"
#include "data/Settings.h"
#include "data/TempComponents.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <cfloat>
#include <functional>

namespace {

// The file's name for messages: what follows the last separator of either kind.
QString FileNameOf(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return cut < 0 ? path : path.mid(cut + 1);
}

// The separator-gas and degassing-gas analysis runs: only their peaks are merged into groups.
const std::vector<int>& GasAnalysisSlots()
{
    static const std::vector<int> analysisSlots = {SlotGsAnalysis1, SlotGsAnalysis2, SlotGsAnalysis3,
                                           SlotGdAnalysis1, SlotGdAnalysis2, SlotGdAnalysis3};
    return analysisSlots;
}

GasComponentList Single(const GasComponent* component)
{
    return component ? GasComponentList{component} : GasComponentList{};
}

template <typename Set>
void RunGasStages(Set& set, const MixtureList* cylinders, const CalibrationRuns& runs, const KnownPeakMap& peaks,
                  const CSettings* settings, const CalcEnvironment& env,
                  void (*check)(GasAnalysisResult&, double, double, MessageLog&))
{
    set.calibrationResult = set.calibration.Calculate(cylinders, runs, peaks, settings, env);
    set.analysisResult = set.analysis.Calculate(peaks, settings, CopyCalibrationRows(set.calibrationResult.rows), env);
    set.sulphurResult = set.sulphur.Calculate(peaks, settings, set.analysisResult.density, env);
    set.methanolResult = set.methanol.Calculate(peaks, settings, set.analysisResult.density, env);
    check(set.analysisResult, set.sulphurResult.molConcTotal, set.methanolResult.methanol, env.log);
}

// The run of each role; of two runs sharing a role, the earlier in the list.
CalibrationRuns RunsOf(const ChromatogramBlocks& blocks)
{
    CalibrationRuns runs;
    for (const auto& [slot, block] : blocks) {
        if (block.record)
            runs.try_emplace(slot, block.record);
    }
    return runs;
}

// Two runs of one slot (one per instrument) that both hold a member of a
// group add it twice: one warning for the slot names such members and the
// runs that hold them.
void ReportMembersOfSeveralRuns(const ChromatogramBlocks& blocks, int slot,
                                const std::function<bool(const QString&)>& isMember, const QString& groupName,
                                MessageLog& log)
{
    const auto [first, last] = blocks.equal_range(slot);
    std::vector<QStringList> held;  // each run's members, once each
    QHash<QString, int> runsHolding;
    for (auto run = first; run != last; ++run) {
        QStringList names;
        for (const cmpeek& peak : run->second.peakTable.peaks()) {
            if (isMember(peak.name) && !names.contains(peak.name)) {
                names << peak.name;
                ++runsHolding[peak.name];
            }
        }
        held.push_back(std::move(names));
    }
    QStringList twice;
    QStringList runs;
    auto names = held.cbegin();
    for (auto run = first; run != last; ++run, ++names) {
        bool shares = false;
        for (const QString& name : *names) {
            if (runsHolding.value(name) < 2)
                continue;
            shares = true;
            if (!twice.contains(name))
                twice << name;
        }
        if (shares && run->second.record)
            runs << QDir::toNativeSeparators(run->second.record->path);
    }
    if (twice.isEmpty())
        return;
    const QString text = twice.size() == 1
                             ? QStringLiteral("%1: %2 просуммирована по хроматограммам %3, компонент %4 учтен в ней более одного раза.")
                             : QStringLiteral("%1: %2 просуммирована по хроматограммам %3, компоненты %4 учтены в ней более одного раза.");
    log.AddMessage(MessageWarning, text.arg(ChromatogramSlotName(slot), groupName, runs.join(QStringLiteral(", ")),
                                            twice.join(QStringLiteral(", "))));
}

} // namespace

CalcData::CalcData()
    : m_components(&GasComponentTable::Global())
    , m_temperatures(&TempComponentTable::Global())
{
}

void CalcData::SetReferenceTables(const GasComponentTable& components, const TempComponentTable& temperatures)
{
    m_components = &components;
    m_temperatures = &temperatures;
}

void CalcData::ResetCalcState()
{
    m_chromatograms.clear();
    m_knownPeaks.clear();
    m_gs.calibration.ResetWorkingPeaks();
    m_gs.analysis.ResetWorkingPeaks();
    m_gd.calibration.ResetWorkingPeaks();
    m_gd.analysis.ResetWorkingPeaks();
    m_gs.sulphur.ResetWorkingPeaks();
    m_gs.methanol.ResetWorkingPeaks();
    m_gd.sulphur.ResetWorkingPeaks();
    m_gd.methanol.ResetWorkingPeaks();
    m_dc.sulphur.ResetWorkingPeaks();
    m_dc.methanol.ResetWorkingPeaks();
    m_dc.c1c5.ResetWorkingPeaks();
    m_dc.temperature.ResetWorkingPeaks();
    m_dc.fractions.ResetChromatograms();
    m_dc.groups.ResetChromatograms();
}

void CalcData::ClearResults()
{
    m_gs.ClearResults();
    m_gd.ClearResults();
    m_dc.ClearResults();
    m_pg.ClearResults();
}

CalcPgMethod1Result CalcData::GetPgMethod1Result() const
{
    CalcPgMethod1Result copy;
    static_cast<CalcResult<PgMethod1Item>&>(copy) = CopyPgMethod1Rows(m_pg.method1Result);
    static_cast<PgMethod1Figures&>(copy) = m_pg.method1Result;
    return copy;
}

void CalcData::Recalculate(const MixtureList* cylinders, const std::vector<ChromatogramRecord>* records,
                           const CSettings* settings, MessageLog& log)
{
    ResetCalcState();
    ClearResults();
    m_cylinders = cylinders;
    m_settings = settings;

    const GeneralSettings& general = SettingsOrDefaults(settings).general;
    const double baselineTime = general.enBlankSubtraction != 0 ? general.TimeStartSample : 0.0;
    if (records) {
        for (const ChromatogramRecord& record : *records) {
            CalcChromatogram block;
            block.Init(record, baselineTime);
            m_chromatograms.emplace(record.role, std::move(block));
        }
        // The roles were given before the log was cleared; a run that found
        // no free slot is named again in every calculation. By its whole path:
        // the runs of another day often carry the same file names. A run that
        // a later type took in is used, so it is not named.
        for (const ChromatogramRecord& record : *records) {
            if (!record.leftOutOf.isEmpty() && record.role == SlotNone)
                log.AddMessage(MessageWarning, QStringLiteral("%1: Хроматограмма %2 не использована в расчете, все параллели уже заняты.")
                                                   .arg(record.leftOutOf, QDir::toNativeSeparators(record.path)));
            // A marked run without a cylinder of either gas (deleted, never
            // entered, or the condensate's) calibrates nothing; named only
            // where that leaves it without a role, since the blank and the
            // temperature scale need no cylinder.
            if (!record.isCalibration || record.role != SlotNone)
                continue;
            const QString path = QDir::toNativeSeparators(record.path);
            if (!record.mixture)
                log.AddMessage(MessageWarning, QStringLiteral("Калибровка: В названии пробы '%1' калибровочной хроматограммы %2 не указан ни один баллон из базы.")
                                                   .arg(record.sample, path));
            else if (record.mixture->type != MixtureKindGs && record.mixture->type != MixtureKindGd)
                log.AddMessage(MessageWarning, QStringLiteral("Калибровка: В названии пробы '%1' калибровочной хроматограммы %2 указан баллон %3, а не баллон ГС или ГД.")
                                                   .arg(record.sample, path, record.mixture->name));
        }
    }

    CheckUnknownPeaks(log);

    const GasComponentTable& catalogue = *m_components;
    MergeGroupPeaks(GasAnalysisSlots(), catalogue.ComponentsC6(), QStringLiteral("Группа С6"), log);
    MergeGroupPeaks(GasAnalysisSlots(), catalogue.ComponentsC7(), QStringLiteral("Группа С7"), log);
    MergeGroupPeaks(GasAnalysisSlots(), catalogue.ComponentsC8(), QStringLiteral("Группа С8"), log);
    MergeGroupPeaks(GasAnalysisSlots(), Single(catalogue.FindComponentByName(QStringLiteral("н-Нонан"))), QStringLiteral("Группа С9"), log);
    MergeGroupPeaks(GasAnalysisSlots(), Single(catalogue.FindComponentByName(QStringLiteral("н-Декан"))), QStringLiteral("Группа С10"), log);
    MergeGroupPeaks(GasAnalysisSlots(), Single(catalogue.FindComponentByName(QStringLiteral("н-Ундекан"))), QStringLiteral("Группа С11"), log);
    MergeGroupPeaks(GasAnalysisSlots(), Single(catalogue.FindComponentByName(QStringLiteral("н-Додекан"))), QStringLiteral("Группа С12"), log);

    const CalcEnvironment env{log, *m_components, *m_temperatures};
    const CalibrationRuns runs = RunsOf(m_chromatograms);
    RunGsStages(m_gs, cylinders, runs, m_knownPeaks, settings, env);
    RunGdStages(m_gd, cylinders, runs, m_knownPeaks, settings, env);
    RunDcStages(m_dc, m_knownPeaks, settings, *this, env);
    RunPgStages(m_pg, m_gs, m_gd, m_dc, settings, env);
}

void CalcData::CheckUnknownPeaks(MessageLog& log)
{
    // The same names come back in every parallel, and a lookup in the
    // catalogue folds the name's letter case first: each name is looked up once.
    QHash<QString, bool> knownGas;
    QHash<QString, bool> knownTemperature;
    auto lookUp = [](QHash<QString, bool>& seen, const QString& name, auto isKnown) {
        auto it = seen.constFind(name);
        if (it == seen.constEnd())
            it = seen.insert(name, isKnown(name));
        return *it;
    };
    for (const auto& [slot, block] : m_chromatograms) {
        if (slot <= SlotBlank)
            continue;  // unassigned and blank chromatograms are not checked
        std::vector<PeakItem>& known = m_knownPeaks[slot];
        for (const cmpeek& peak : block.peakTable.peaks()) {
            bool isKnown = false;
            if (!peak.name.isEmpty()) {
                isKnown = slot == SlotDcTemperature
                              ? lookUp(knownTemperature, peak.name,
                                       [this](const QString& name) { return m_temperatures->IsKnownPeak(name); })
                              : lookUp(knownGas, peak.name, [this](const QString& name) {
                                    return m_components->FindComponentBySearchName(name) != nullptr;
                                });
            }
            if (!isKnown) {
                const QString file = block.record ? FileNameOf(block.record->path) : QString();
                log.AddMessage(MessageWarning, QStringLiteral("Неизвестный пик '%1' в файле %2.").arg(peak.name, file));
                continue;
            }
            known.push_back(MakePeakItem(peak));
        }
    }
}

void CalcData::MergeGroupPeaks(const std::vector<int>& slotList, const GasComponentList& components,
                               const QString& groupName, MessageLog& log)
{
    for (int slot : slotList) {
        const auto entry = m_knownPeaks.find(slot);
        if (entry == m_knownPeaks.end())
            continue;
        std::vector<PeakItem>& peaks = entry->second;

        PeakItem group;
        group.name = groupName;
        group.sortGroup = -1;
        // No single time belongs to a group; the pages show the unset mark.
        group.retentionTime = -DBL_MAX;
        group.startTime = -DBL_MAX;
        group.endTime = -DBL_MAX;

        // Exact, case-sensitive names: only the peaks named as the catalogue
        // names them join a group.
        const auto isMemberName = [&](const QString& name) {
            return std::any_of(components.begin(), components.end(),
                               [&](const GasComponent* c) { return c && name == c->searchName; });
        };
        const auto isMember = [&](const PeakItem& item) { return isMemberName(item.name); };
        bool merged = false;
        for (const PeakItem& item : peaks) {
            if (isMember(item)) {
                group.area += item.area;
                group.concentration += item.concentration;
                merged = true;
            }
        }
        if (!merged)
            continue;
        peaks.erase(std::remove_if(peaks.begin(), peaks.end(), isMember), peaks.end());
        peaks.push_back(std::move(group));
        ReportMembersOfSeveralRuns(m_chromatograms, slot, isMemberName, groupName, log);
    }
}

void RunGsStages(CalcGs& gs, const MixtureList* cylinders, const CalibrationRuns& runs, const KnownPeakMap& peaks,
                 const CSettings* settings, const CalcEnvironment& env)
{
    RunGasStages(gs, cylinders, runs, peaks, settings, env, &CheckGsAnalysis);
}

void RunGdStages(CalcGd& gd, const MixtureList* cylinders, const CalibrationRuns& runs, const KnownPeakMap& peaks,
                 const CSettings* settings, const CalcEnvironment& env)
{
    RunGasStages(gd, cylinders, runs, peaks, settings, env, &CheckGdAnalysis);
}

void RunDcStages(CalcDc& dc, const KnownPeakMap& peaks, const CSettings* settings, const CalcData& data,
                 const CalcEnvironment& env)
{
    dc.c1c5Result = dc.c1c5.Calculate(peaks, settings, env);
    dc.temperatureResult = dc.temperature.Calculate(peaks, env);
    dc.sulphurResult = dc.sulphur.Calculate(peaks, settings, env);
    dc.methanolResult = dc.methanol.Calculate(peaks, settings, env);
    dc.fractionsResult = dc.fractions.Calculate(&data, settings, dc.c1c5Result, dc.temperatureResult,
                                                dc.sulphurResult, dc.methanolResult, env);
    dc.groupsResult = dc.groups.Calculate(&data, settings, dc.c1c5Result, dc.temperatureResult,
                                          dc.sulphurResult, dc.methanolResult, env);
}

void RunPgStages(CalcPg& pg, const CalcGs& gs, const CalcGd& gd, const CalcDc& dc, const CSettings* settings,
                 const CalcEnvironment& env)
{
    pg.method1Result = pg.method1.Calculate(gs.analysisResult, gs.sulphurResult, gs.methanolResult,
                                            gd.analysisResult, gd.sulphurResult, gd.methanolResult,
                                            dc.groupsResult, dc.sulphurResult, dc.methanolResult, settings, env);
    pg.sulphurSummary = pg.method1.CalcSulphurSummary(gs.sulphurResult, gd.sulphurResult, dc.sulphurResult,
                                                      pg.method1Result, env.components);
    pg.method2Result = pg.method2.Calculate(pg.method1Result, pg.sulphurSummary, settings, env);
    pg.compFract1Result = pg.compFract1.Calculate(dc.fractionsResult, pg.method1Result, env);
    pg.compFract2Result = pg.compFract2.Calculate(dc.fractionsResult, pg.method2Result, env);
}
