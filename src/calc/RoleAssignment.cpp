#include "calc/RoleAssignment.h"

#include "data/ChromatogramRecord.h"
#include "data/ChromatogramSlot.h"
#include "data/GeneralSettings.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

// Rows of the type table in the order the families are served: a calibration
// family before the analysis family of the same gas, so that a calibration
// run whose names also fit the analysis rule ends up as a calibration.
constexpr std::array<int, TypeRuleTable::RowCount> kServingOrder = {
    0,  // Холостая
    2,  // ГС Калибровка
    1,  // ГС Анализ
    3,  // ГС ССС
    4,  // ГС Метанол
    6,  // ГД Калибровка
    5,  // ГД Анализ
    7,  // ГД ССС
    8,  // ГД Метанол
    9,  // ДК С1С5
    10, // ДК Температурная
    11, // ДК ССС
    12, // ДК Метанол
    13, // ДК С6С44
};

bool isGsCalibrationFamily(int slot)
{
    return slot >= SlotGsCalibration1 && slot <= SlotGsCalibration5;
}

bool isGdCalibrationFamily(int slot)
{
    return slot >= SlotGdCalibration1 && slot <= SlotGdCalibration5;
}

// A calibration run serves only the calibration of the gas its cylinder is
// certified for, the blank and the temperature scale: a calibration mixture
// is never a sample of the well. Every other record may serve any family.
bool staysCandidate(const ChromatogramRecord& record, int firstSlot)
{
    if (!record.isCalibration)
        return true;
    if (isGsCalibrationFamily(firstSlot))
        return record.mixture && record.mixture->type == MixtureKindGs;
    if (isGdCalibrationFamily(firstSlot))
        return record.mixture && record.mixture->type == MixtureKindGd;
    return firstSlot == SlotBlank || firstSlot == SlotDcTemperature;
}

const TypeRule* findRule(const TypeRuleTable& rules, int firstSlot)
{
    const QString slotName = ChromatogramSlotName(firstSlot);
    for (const TypeRule& rule : rules.rules()) {
        if (!rule.type.isEmpty() && slotName.contains(rule.type, Qt::CaseSensitive))
            return &rule;
    }
    return nullptr;
}

// Index of the first token contained in the text; -1 when none is.
int firstContainedToken(const std::vector<QString>& tokens, const QString& text)
{
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (text.contains(tokens[i], Qt::CaseSensitive))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

std::vector<QString> SplitRuleText(const QString& text, const QString& separators)
{
    std::vector<QString> tokens;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && separators.contains(text.at(i)))
            ++i;
        if (i >= n)
            break;
        const qsizetype begin = i;
        while (i < n && !separators.contains(text.at(i)))
            ++i;
        tokens.push_back(text.mid(begin, i - begin).trimmed());
    }
    return tokens;
}

void MatchTypeRule(std::vector<ChromatogramRecord*> candidates, int count, int firstSlot,
                   const TypeRuleTable& rules, const MixtureList& cylinders)
{
    std::erase_if(candidates, [firstSlot](const ChromatogramRecord* record) {
        return record == nullptr || !staysCandidate(*record, firstSlot);
    });

    const TypeRule* rule = findRule(rules, firstSlot);
    if (rule == nullptr)
        return;
    const QString separators = QStringLiteral(";,");
    const std::vector<QString> methodTokens = SplitRuleText(rule->methodPattern, separators);
    const std::vector<QString> sampleTokens = SplitRuleText(rule->samplePattern, separators);
    std::vector<int> counters(methodTokens.size(), 0);

    for (ChromatogramRecord* record : candidates) {
        if (record->role != SlotNone)
            continue;
        record->typeName.clear();
        if (firstContainedToken(sampleTokens, record->sample) < 0)
            continue;
        const int u = firstContainedToken(methodTokens, record->method);
        if (u < 0)
            continue;
        int& counter = counters[static_cast<std::size_t>(u)];
        // A full family leaves the record without a role, even when a later
        // method token would have had room.
        if (counter >= count) {
            record->leftOutOf = rule->type;
            continue;
        }
        record->role = firstSlot + counter;
        record->typeName = ChromatogramSlotName(record->role);
        if (const MixturePtr cylinder = CalibrationCylinder(*record, record->role, cylinders).mixture)
            record->typeName += QStringLiteral(" (") + cylinder->name + QStringLiteral(")");
        ++counter;
    }
}

void AssignCalculationTypes(std::vector<ChromatogramRecord>& records, const GeneralSettings& general,
                            const MixtureList& cylinders)
{
    std::vector<ChromatogramRecord*> all;
    all.reserve(records.size());
    for (ChromatogramRecord& record : records) {
        record.role = SlotNone;
        record.typeName.clear();
        record.leftOutOf.clear();
        all.push_back(&record);
    }
    for (int row : kServingOrder)
        MatchTypeRule(all, TypeRuleTable::RunCount(row, general), TypeRuleTable::FirstSlot(row),
                      general.typeRules, cylinders);
}

RunCylinder CalibrationCylinder(const ChromatogramRecord& record, int slot, const MixtureList& cylinders)
{
    const int kind = isGsCalibrationFamily(slot) ? MixtureKindGs : isGdCalibrationFamily(slot) ? MixtureKindGd : MixtureKindNone;
    if (kind == MixtureKindNone)
        return {};
    MixtureList ofKind;
    std::copy_if(cylinders.begin(), cylinders.end(), std::back_inserter(ofKind),
                 [kind](const MixturePtr& m) { return m && m->type == kind; });
    // A marked run was matched when it was read; an unmarked one is matched
    // here, among the cylinders of the slot's gas only, so that a longer
    // identifier of the other gas cannot hide its own.
    const MixturePtr named = record.mixture ? record.mixture : FindMixtureForSample(record.sample, ofKind);
    if (named && named->type == kind)
        return {named, true};
    if (ofKind.empty())
        return {};
    return {ofKind.front(), false, named || FindMixtureForSample(record.sample, cylinders)};
}
