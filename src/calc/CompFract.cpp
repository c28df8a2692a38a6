#include "calc/CompFract.h"

#include "calc/WorkingRows.h"
#include "data/ChromatogramRecord.h"
#include "data/MessageLog.h"

#include <array>
#include <list>

namespace {

constexpr std::array<const char16_t*, 16> kLightComponentNames = {
    u"Меркаптаны", u"Водород", u"Гелий", u"Метан", u"Азот", u"Этан", u"Метанол", u"Сульфид водорода",
    u"Диоксид углерода", u"Пропан", u"2-Метилпропан", u"н-Бутан", u"Циклопентан", u"2-Метилбутан",
    u"н-Пентан", u"2,2-Диметилпропан",
};

// A fraction's id carries its bounds in °C: above 1000000 for every fraction.
constexpr int FractionId(int low, int high)
{
    return (low + 1000) * 1000 + high;
}
constexpr int kFractionIdFloor = 1000000;

void AddFractionRange(CompFractResult& result, std::list<CondensateRow>& fractionRows, int low, int high)
{
    CompFractRecord record;
    record.id = FractionId(low, high);
    const std::optional<CondensateRow> row = TakeRowById(fractionRows, record.id);
    record.name = row ? row->name : FractionRangeText(record.id);
    record.dc = row ? row->mean : 0.0;
    result.rows.push_back(record);
}

template <typename Row>
std::vector<QString> ReportUnusedComponents(const std::list<Row>& rows, const QString& prefix)
{
    std::vector<QString> texts;
    for (const Row& row : rows)
        texts.push_back(QStringLiteral("%1: Компонент '%2' не использован в расчёте.").arg(prefix, row.name));
    return texts;
}

} // namespace

void CompFractCalculator::BuildLightComponentIds(const GasComponentTable& components)
{
    // Kept between calculations; a different catalogue would leave pointers
    // into tables that may be gone.
    if (!m_light.empty() && m_lightSource == &components)
        return;
    m_light.clear();
    m_lightSource = &components;
    for (const char16_t* name : kLightComponentNames) {
        if (const GasComponent* component = components.FindComponentByName(QString::fromUtf16(name)))
            m_light.push_back(component);
    }
}

template <typename Item>
CompFractResult CompFractCalculator::Compose(const CondensateResult& fractions, const std::vector<Item>& items,
                                             bool methodHasError, const CalcEnvironment& env)
{
    CompFractResult result;
    if (fractions.hasError)
        env.log.AddMessage(MessageError, QString::fromUtf16(m_kind.fractionsError));
    if (methodHasError)
        env.log.AddMessage(MessageError, QString::fromUtf16(m_kind.methodError));

    std::list<CondensateRow> fractionRows = WorkingCopy(fractions.rows);
    std::list<Item> methodItems = WorkingCopy(items);
    BuildLightComponentIds(env.components);

    for (const GasComponent* component : m_light) {
        const std::optional<CondensateRow> row = TakeRowById(fractionRows, component->id);
        const std::optional<Item> item = TakeRowById(methodItems, component->id);
        CompFractRecord record;
        record.id = component->id;
        record.name = row ? row->name : item ? item->name : QString();
        record.dc = row ? row->mean : 0.0;
        record.kgn = item ? item->KgnMasF : 0.0;
        record.pg = item ? item->PgMasF : 0.0;
        result.rows.push_back(record);
    }

    AddFractionRange(result, fractionRows, 45, 60);
    for (int low = 60; low <= 520; low += 10)
        AddFractionRange(result, fractionRows, low, low + 10);

    // How the method shares the groups C6..C12 between the condensate, the
    // unstable condensate and the formation gas scales every fraction.
    double Sdc = 0.0;
    double Skgn = 0.0;
    double Spg = 0.0;
    for (const GasComponent* group : env.components.ComponentGroupsC6C12()) {
        if (const std::optional<Item> item = TakeRowById(methodItems, group->id)) {
            Sdc += item->DcMasF;
            Skgn += item->KgnMasF;
            Spg += item->PgMasF;
        }
    }
    if (Sdc != 0.0) {
        for (CompFractRecord& record : result.rows) {
            if (record.id > kFractionIdFloor) {
                record.kgn = record.dc * Skgn / Sdc;
                record.pg = record.dc * Spg / Sdc;
            }
        }
    }

    for (const QString& text : ReportUnusedComponents(fractionRows, QStringLiteral("ДК С6-С44 Фр.")))
        env.log.AddMessage(MessageInfo, text);
    for (const QString& text : ReportUnusedComponents(methodItems, QString::fromUtf16(m_kind.methodLabel)))
        env.log.AddMessage(MessageInfo, text);
    return result;
}

CalcPgCompFract1::CalcPgCompFract1()
    : CompFractCalculator({u"ПГ Комп.-фракц. Способ 1: В расчете 'ДК С6-С44 Фр.' есть ошибки.",
                           u"ПГ Комп.-фракц. Способ 1: В расчете 'ПГ Способ 1' есть ошибки.", u"ПГ Способ 1"})
{
}

CompFractResult CalcPgCompFract1::Calculate(const CondensateResult& fractions, const CalcPgMethod1Result& method1,
                                            const CalcEnvironment& env)
{
    return Compose(fractions, method1.rows, method1.hasError, env);
}

CalcPgCompFract2::CalcPgCompFract2()
    : CompFractCalculator({u"ПГ Комп.-фракц. Способ 2: В расчете 'ДК С6-С44 Фр.' есть ошибки.",
                           u"ПГ Комп.-фракц. Способ 2: В расчете 'ПГ Способ 2' есть ошибки.", u"ПГ Способ 2"})
{
}

CompFractResult CalcPgCompFract2::Calculate(const CondensateResult& fractions, const CalcPgMethod2Result& method2,
                                            const CalcEnvironment& env)
{
    return Compose(fractions, method2.rows, method2.hasError, env);
}
