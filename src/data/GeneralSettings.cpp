#include "data/GeneralSettings.h"

#include "data/LeadingNumber.h"
#include "platform/Profile.h"

#include <algorithm>

namespace {

struct DefaultTypeRow
{
    const char16_t* type;
    int firstSlot;
    int fixedRuns;                      // 0: the runs come from an analysis count
    int GeneralSettings::*countMember;  // the count that chooses the runs
    int smallerRuns;
    int largerRuns;
};

const DefaultTypeRow kDefaultTypeRows[TypeRuleTable::RowCount] = {
    {u"Холостая", 1, 1, nullptr, 0, 0},
    {u"ГС Анализ", 2, 0, &GeneralSettings::QtyGsRegular, 2, 3},
    {u"ГС Калибровка", 5, 0, &GeneralSettings::QtyGsCalib, 3, 5},
    {u"ГС ССС", 10, GeneralSettings::QtyGsSss, nullptr, 0, 0},
    {u"ГС Метанол", 13, 0, &GeneralSettings::QtyGsMeth, 2, 3},
    {u"ГД Анализ", 16, 0, &GeneralSettings::QtyGdRegular, 2, 3},
    {u"ГД Калибровка", 19, 0, &GeneralSettings::QtyGdCalib, 3, 5},
    {u"ГД ССС", 24, 0, &GeneralSettings::QtyGdSss, 2, 3},
    {u"ГД Метанол", 27, 0, &GeneralSettings::QtyGdMeth, 2, 3},
    {u"ДК С1С5", 30, 0, &GeneralSettings::QtyDcC1C5, 2, 3},
    {u"ДК Температурная", 33, 1, nullptr, 0, 0},
    {u"ДК ССС", 34, 0, &GeneralSettings::QtyDcSss, 2, 3},
    {u"ДК Метанол", 37, 0, &GeneralSettings::QtyDcMeth, 2, 3},
    {u"ДК С6С44", 40, 0, &GeneralSettings::QtyDcC6C44, 2, 3},
};

QString methodValue(int row)
{
    return QString::asprintf("%d_", row) + QStringLiteral("method");
}

QString sampleValue(int row)
{
    return QString::asprintf("%d_", row) + QStringLiteral("sample");
}

} // namespace

// ---------------------------------------------------------------------------
// TypeRuleTable

void TypeRuleTable::FillDefaultTypeRules()
{
    if (!m_fillPending)
        return;
    m_fillPending = false;
    for (const DefaultTypeRow& row : kDefaultTypeRows)
        m_rules.push_back(TypeRule{QString::fromUtf16(row.type), QString(), QString(), false});
}

void TypeRuleTable::SetMethodPattern(int row, const QString& text)
{
    TypeRule& rule = (*this)[row];
    rule.methodPattern = text;
    if (!text.isEmpty())
        rule.stored = true;
}

void TypeRuleTable::SetSamplePattern(int row, const QString& text)
{
    TypeRule& rule = (*this)[row];
    rule.samplePattern = text;
    if (!text.isEmpty())
        rule.stored = true;
}

int TypeRuleTable::FirstSlot(int row)
{
    if (row < 0 || row >= RowCount)
        return 0;
    return kDefaultTypeRows[row].firstSlot;
}

int TypeRuleTable::RunCount(int row, const GeneralSettings& general)
{
    if (row < 0 || row >= RowCount)
        return 0;
    const DefaultTypeRow& r = kDefaultTypeRows[row];
    if (r.fixedRuns > 0)
        return r.fixedRuns;
    return general.*r.countMember != 0 ? r.largerRuns : r.smallerRuns;
}

// ---------------------------------------------------------------------------
// GeneralSettings

QString GeneralSettings::SectionName()
{
    return QStringLiteral("Settings\\General");
}

QString GeneralSettings::MethodsSectionName()
{
    return QStringLiteral("Settings\\General\\Methods");
}

const std::array<GeneralSettings::AnalysisCount, 11>& GeneralSettings::AnalysisCounts()
{
    static const std::array<AnalysisCount, 11> counts = {{
        {"QtyGsRegular", &GeneralSettings::QtyGsRegular, 2, 3},
        {"QtyGsCalib", &GeneralSettings::QtyGsCalib, 3, 5},
        {"QtyGsMeth", &GeneralSettings::QtyGsMeth, 2, 3},
        {"QtyGdRegular", &GeneralSettings::QtyGdRegular, 2, 3},
        {"QtyGdCalib", &GeneralSettings::QtyGdCalib, 3, 5},
        {"QtyGdSss", &GeneralSettings::QtyGdSss, 2, 3},
        {"QtyGdMeth", &GeneralSettings::QtyGdMeth, 2, 3},
        {"QtyDcC1C5", &GeneralSettings::QtyDcC1C5, 2, 3},
        {"QtyDcSss", &GeneralSettings::QtyDcSss, 2, 3},
        {"QtyDcMeth", &GeneralSettings::QtyDcMeth, 2, 3},
        {"QtyDcC6C44", &GeneralSettings::QtyDcC6C44, 2, 3},
    }};
    return counts;
}

GeneralSettings::GeneralSettings()
{
    typeRules.FillDefaultTypeRules();
}

void GeneralSettings::LoadSettings(const Profile& profile)
{
    const QString section = SectionName();
    qtySymInProg = profile.readInt(section, QStringLiteral("qtySymInProg"), 3);
    qtySymInReport = profile.readInt(section, QStringLiteral("qtySymInReport"), 3);
    enGsGradCorrect = profile.readInt(section, QStringLiteral("enGsGradCorrect"), 0);
    enGsAnalysCorrect = profile.readInt(section, QStringLiteral("enGsAnalysCorrect"), 0);
    enGdGradCorrect = profile.readInt(section, QStringLiteral("enGdGradCorrect"), 0);
    enGdAnalysCorrect = profile.readInt(section, QStringLiteral("enGdAnalysCorrect"), 0);
    enBlankSubtraction = profile.readInt(section, QStringLiteral("enBlankSubtraction"), 0);
    TimeStartSample = ParseLeadingDouble(
        profile.readString(section, QStringLiteral("TimeStartSample"), QStringLiteral("0")));

    for (const AnalysisCount& count : AnalysisCounts()) {
        // Each count is a choice of two; anything but the first choice means the second.
        const int stored = profile.readInt(section, QLatin1String(count.valueName), 0);
        this->*count.member = stored == 0 ? 0 : 1;
    }

    const QString methods = MethodsSectionName();
    for (int row = 0; row < typeRules.size(); ++row) {
        TypeRule& rule = typeRules[row];
        const QString method = profile.readString(methods, methodValue(row), QString());
        const QString sample = profile.readString(methods, sampleValue(row), QString());
        if (!method.isEmpty()) {
            rule.methodPattern = method;
            rule.stored = true;
        }
        if (!sample.isEmpty()) {
            rule.samplePattern = sample;
            rule.stored = true;
        }
    }
}

void GeneralSettings::SaveSettings(Profile& profile) const
{
    const QString section = SectionName();
    profile.deleteSection(section);

    profile.writeInt(section, QStringLiteral("qtySymInProg"), qtySymInProg);
    profile.writeInt(section, QStringLiteral("qtySymInReport"), qtySymInReport);
    profile.writeInt(section, QStringLiteral("enGsGradCorrect"), enGsGradCorrect);
    profile.writeInt(section, QStringLiteral("enGsAnalysCorrect"), enGsAnalysCorrect);
    profile.writeInt(section, QStringLiteral("enGdGradCorrect"), enGdGradCorrect);
    profile.writeInt(section, QStringLiteral("enGdAnalysCorrect"), enGdAnalysCorrect);
    profile.writeInt(section, QStringLiteral("enBlankSubtraction"), enBlankSubtraction);
    profile.writeDouble(section, QStringLiteral("TimeStartSample"), TimeStartSample);
    for (const AnalysisCount& count : AnalysisCounts())
        profile.writeInt(section, QLatin1String(count.valueName), this->*count.member);

    const QString methods = MethodsSectionName();
    for (int row = 0; row < typeRules.size(); ++row) {
        const TypeRule& rule = typeRules[row];
        if (!rule.stored)
            continue;
        profile.writeString(methods, methodValue(row), rule.methodPattern);
        profile.writeString(methods, sampleValue(row), rule.samplePattern);
    }
}
