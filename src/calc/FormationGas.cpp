#include "calc/FormationGas.h"

#include "calc/WorkingRows.h"
#include "data/MessageLog.h"
#include "data/Settings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <list>
#include <utility>

namespace {

// The components of method 1 in item order; the last eleven are the C5+ ones.
constexpr std::array<const char16_t*, 23> kComponentNames = {
    u"Меркаптаны", u"Водород", u"Гелий", u"Метан", u"Азот", u"Этан", u"Метанол", u"Сульфид водорода",
    u"Диоксид углерода", u"Пропан", u"2-Метилпропан", u"н-Бутан", u"Циклопентан", u"2-Метилбутан",
    u"н-Пентан", u"2,2-Диметилпропан", u"Группа С6", u"Группа С7", u"Группа С8", u"Группа С9",
    u"Группа С10", u"Группа С11", u"Группа С12",
};
constexpr std::size_t kFirstC5Plus = 12;

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// The ids the steps compare items with.
struct SpecialIds
{
    std::int32_t hydrogenSulphide;
    std::int32_t mercaptans;
    std::int32_t methanol;
    std::int32_t c12;

    explicit SpecialIds(const GasComponentTable& components)
        : hydrogenSulphide(ComponentIdOf(components, Text(u"Сульфид водорода")))
        , mercaptans(ComponentIdOf(components, Text(u"Меркаптаны")))
        , methanol(ComponentIdOf(components, Text(u"Метанол")))
        , c12(ComponentIdOf(components, Text(u"Группа С12")))
    {
    }
};

// The mol % of one component in a gas: the mercaptans and hydrogen sulphide
// from the sulphur analysis, methanol from its own analysis, the rest from
// the gas analysis. Rows used are taken out of the working lists.
double GasMolFraction(std::int32_t id, const SpecialIds& ids, const SulphurResult& sulphur,
                      std::list<GasAnalysisRow>& analysis, std::list<GasMethanolRow>& methanol)
{
    if (id == ids.mercaptans) {
        double sum = 0.0;
        for (const SulphurRow& row : sulphur.rows) {
            if (row.id != ids.hydrogenSulphide)
                sum += row.molConc;
        }
        return sum;
    }
    if (id == ids.hydrogenSulphide) {
        if (const SulphurRow* row = FirstRowWithId(sulphur.rows, id))
            return row->molConc;
    }
    if (id == ids.methanol) {
        const std::optional<GasMethanolRow> row = TakeRowById(methanol, id);
        return row ? row->molConc : 0.0;
    }
    const std::optional<GasAnalysisRow> row = TakeRowById(analysis, id);
    return row ? row->mean : 0.0;
}

template <typename Row>
void ReportUnused(const std::list<Row>& rows, const QString& label, MessageLog& log)
{
    for (const Row& row : rows)
        log.AddMessage(MessageInfo, QStringLiteral("%1: Компонент '%2' не использован в расчёте.").arg(label, row.name));
}

using ItemValue = CalcPgMethod1::ItemValue;

void CalcGsColumns(CalcPgMethod1Result& result, const ItemValue& molarMass)
{
    double S = 0.0;
    for (const PgMethod1Item& item : result.rows)
        S += molarMass(item) * item.GsMol;
    result.gsMolarMass = S / 100.0;
    result.gsDensity = S / 100.0 / kPgMolarVolume;
    for (PgMethod1Item& item : result.rows) {
        const double M = molarMass(item);
        item.GsVol = item.GsMol * 10.0;  // 1000 dm3 per m3, in %
        if (S != 0.0)
            item.GsMasF = M * item.GsMol * 100.0 / S;
        item.GsMas = M * item.GsVol / kPgMolarVolume;
    }
}

void CalcGdColumns(CalcPgMethod1Result& result, const ItemValue& molarMass, const SamplingParameters& p)
{
    double S = 0.0;
    for (const PgMethod1Item& item : result.rows)
        S += molarMass(item) * item.GdMol;
    result.gdMolarMass = S / 100.0;
    result.gdDensity = result.gdMolarMass / kPgMolarVolume;
    // dm3 of degassing gas per m3 of separator gas, and its mass in g.
    const double Vgd = p.PgVol1 != 0.0 ? p.PgVol2 * p.PgQkgn / p.PgVol1 : 0.0;
    const double kgd = result.gdDensity * Vgd;
    for (PgMethod1Item& item : result.rows) {
        item.GdVol = Vgd * item.GdMol / 100.0;
        if (S != 0.0)
            item.GdMasF = molarMass(item) * item.GdMol * 100.0 / S;
        item.GdMas = kgd * item.GdMasF / 100.0;
    }
}

void CalcDcColumns(CalcPgMethod1Result& result, const ItemValue& molarMass, const SamplingParameters& p,
                   std::int32_t c12Id)
{
    result.dcMolarMass = p.DcAvg;
    result.c12PlusMolarMass = CalcPgMethod1::CalcDcMolar(
        result.rows, [](const PgMethod1Item& item) { return item.DcMasF; }, molarMass, result.dcMolarMass, c12Id);
    double S = 0.0;
    for (const PgMethod1Item& item : result.rows) {
        const double M = molarMass(item);
        if (M != 0.0)
            S += item.DcMasF / M;
    }
    // Grams of condensate per m3 of separator gas, and their volume as vapour in dm3.
    const double mdc = p.PgVol1 != 0.0 ? p.PgVol3 * p.PgQkgn * p.DcDensity / p.PgVol1 : 0.0;
    const double kdc = result.dcMolarMass != 0.0 ? mdc * kPgMolarVolume / result.dcMolarMass : 0.0;
    for (PgMethod1Item& item : result.rows) {
        const double M = molarMass(item);
        if (S != 0.0 && M != 0.0)
            item.DcMol = item.DcMasF * 100.0 / M / S;
        item.DcMas = mdc * item.DcMasF / 100.0;
        item.DcVol = kdc * item.DcMol / 100.0;
    }
}

void CalcKgnColumns(CalcPgMethod1Result& result)
{
    double sumVol = 0.0;
    double sumMas = 0.0;
    for (PgMethod1Item& item : result.rows) {
        item.KgnVol = item.DcVol + item.GdVol;
        item.KgnMas = item.DcMas + item.GdMas;
        sumVol += item.KgnVol;
        sumMas += item.KgnMas;
    }
    for (PgMethod1Item& item : result.rows) {
        if (sumVol != 0.0)
            item.KgnMol = item.KgnVol * 100.0 / sumVol;
        if (sumMas != 0.0)
            item.KgnMasF = item.KgnMas * 100.0 / sumMas;
    }
}

bool IsListed(const GasComponentList& components, std::int32_t id)
{
    return std::any_of(components.begin(), components.end(),
                       [id](const GasComponent* c) { return c->id == id; });
}

void CalcPgColumns(CalcPgMethod1Result& result, const GasComponentList& c5Plus)
{
    double sumVol = 0.0;
    double sumGs = 0.0;
    double c5Vol = 0.0;
    for (PgMethod1Item& item : result.rows) {
        item.PgVol = item.KgnVol + item.GsVol;
        item.PgGs = item.KgnMas + item.GsMas;
        sumVol += item.PgVol;
        sumGs += item.PgGs;
        if (IsListed(c5Plus, item.id))
            c5Vol += item.PgVol;
    }
    const double dryVol = std::fabs(sumVol - c5Vol);
    result.dryGasFactor = dryVol != 0.0 ? 1000.0 / dryVol : 0.0;
    result.pgGasFactor = sumVol != 0.0 ? 1000.0 / sumVol : 0.0;
    for (PgMethod1Item& item : result.rows) {
        if (sumVol != 0.0)
            item.PgMol = item.PgVol * 100.0 / sumVol;
        if (sumGs != 0.0)
            item.PgMasF = item.PgGs * 100.0 / sumGs;
        item.PgDry = item.PgGs * result.dryGasFactor;
        item.PgPg = item.PgGs * result.pgGasFactor;
    }
    if (sumVol == 0.0) {
        result.pgDensity = 0.0;
        result.pgMolarMass = 0.0;
    } else {
        result.pgDensity = sumGs / sumVol;
        result.pgMolarMass = result.pgDensity * kPgMolarVolume;
    }
}

void AddValues(PgMethod1Item& total, const PgMethod1Item& item)
{
    for (double PgMethod1Item::*value : kPgMethod1Values)
        total.*value += item.*value;
}

} // namespace

std::int32_t ComponentIdOf(const GasComponentTable& components, const QString& name)
{
    const GasComponent* component = components.FindComponentByName(name);
    return component ? component->id : kNoComponentId;
}

void CalcPgMethod1::BuildComponentOrder(const GasComponentTable& components)
{
    // Kept between calculations; a different catalogue would leave pointers
    // into tables that may be gone, so it rebuilds the lists.
    if (!m_componentOrder.empty() && !m_c5PlusComponents.empty() && m_orderSource == &components)
        return;
    m_componentOrder.clear();
    m_c5PlusComponents.clear();
    m_orderSource = &components;
    for (std::size_t i = 0; i < kComponentNames.size(); ++i) {
        const GasComponent* component = components.FindComponentByName(Text(kComponentNames[i]));
        if (!component)
            continue;  // a catalogue without it: the component has no item
        m_componentOrder.push_back(component);
        if (i >= kFirstC5Plus)
            m_c5PlusComponents.push_back(component);
    }
}

bool ReportUnsetPgParameters(const QString& prefix, const SamplingParameters& params, MessageLog& log)
{
    // Left at 0 these two give a formation gas without its condensate, or
    // without the condensate's molar mass.
    const std::pair<double, const char16_t*> required[] = {
        {params.PgVol1, u"Объём пробоотборника, в который отобрана проба КГН, см3"},
        {params.DcAvg, u"Средняя молярная масса дегазированного конденсата, г/моль"},
    };
    bool named = false;
    for (const auto& [value, name] : required) {
        if (value == 0.0) {
            log.AddMessage(MessageError, NotSetText(prefix, Text(name)));
            named = true;
        }
    }
    return named;
}

CalcPgMethod1Result CalcPgMethod1::Calculate(const GasAnalysisResult& gsAnalysis, const SulphurResult& gsSulphur,
                                             const GasMethanolResult& gsMethanol,
                                             const GasAnalysisResult& gdAnalysis, const SulphurResult& gdSulphur,
                                             const GasMethanolResult& gdMethanol, const CondensateResult& dcGroups,
                                             const SulphurResult& dcSulphur,
                                             const CondensateMethanolResult& dcMethanol, const CSettings* settings,
                                             const CalcEnvironment& env)
{
    m_settings = settings;
    const SamplingParameters& params = SettingsOrDefaults(settings).params;
    CalcPgMethod1Result result;

    const std::pair<bool, const char16_t*> checks[] = {
        {gsAnalysis.hasError, u"ПГ Способ 1: В расчете 'ГС Анализ' есть ошибки."},
        {gsSulphur.hasError, u"ПГ Способ 1: В расчете 'ГС ССС' есть ошибки."},
        {gsMethanol.hasError, u"ПГ Способ 1: В расчете 'ГС Метанол' есть ошибки."},
        {gdAnalysis.hasError, u"ПГ Способ 1: В расчете 'ГД Анализ' есть ошибки."},
        {gdSulphur.hasError, u"ПГ Способ 1: В расчете 'ГД ССС' есть ошибки."},
        {gdMethanol.hasError, u"ПГ Способ 1: В расчете 'ГД Метанол' есть ошибки."},
        {dcGroups.hasError, u"ПГ Способ 1: В расчете 'ДК С6С44 Гр.' есть ошибки."},
        {dcSulphur.hasError, u"ПГ Способ 1: В расчете 'ДК ССС' есть ошибки."},
        {dcMethanol.hasError, u"ПГ Способ 1: В расчете 'ДК Метанол' есть ошибки."},
    };
    for (const auto& [hasError, text] : checks) {
        if (hasError)
            env.log.AddMessage(MessageError, Text(text));
    }
    // With no analysis at all there is nothing to name.
    if (!gsAnalysis.rows.empty() || !gdAnalysis.rows.empty() || !dcGroups.rows.empty())
        result.hasError = ReportUnsetPgParameters(QStringLiteral("ПГ Способ 1"), params, env.log);

    std::list<GasAnalysisRow> gsRows = WorkingCopy(gsAnalysis.rows);
    std::list<GasMethanolRow> gsMethanolRows = WorkingCopy(gsMethanol.rows);
    std::list<GasAnalysisRow> gdRows = WorkingCopy(gdAnalysis.rows);
    std::list<GasMethanolRow> gdMethanolRows = WorkingCopy(gdMethanol.rows);
    std::list<CondensateRow> dcRows = WorkingCopy(dcGroups.rows);

    BuildComponentOrder(env.components);
    const SpecialIds ids(env.components);

    for (const GasComponent* component : m_componentOrder) {
        PgMethod1Item item;
        item.id = component->id;
        item.name = component->searchName;
        item.molarMass = component->molarMass;
        item.GsMol = GasMolFraction(item.id, ids, gsSulphur, gsRows, gsMethanolRows);
        item.GdMol = GasMolFraction(item.id, ids, gdSulphur, gdRows, gdMethanolRows);
        if (const std::optional<CondensateRow> row = TakeRowById(dcRows, item.id))
            item.DcMasF = row->mean;
        result.rows.push_back(item);
    }

    ReportUnused(gsRows, Text(u"ГС Анализ"), env.log);
    ReportUnused(gsMethanolRows, Text(u"ГС Метанол"), env.log);
    ReportUnused(gdRows, Text(u"ГД Анализ"), env.log);
    ReportUnused(gdMethanolRows, Text(u"ГД Метанол"), env.log);
    ReportUnused(dcRows, Text(u"ДК С6С44 Гр."), env.log);

    const std::function<double(const SulphurRow&)> molConc = [](const SulphurRow& row) { return row.molConc; };
    result.gsMercaptanMolarMass = MercaptanLumpMolarMass(gsSulphur.rows, ids.hydrogenSulphide, molConc);
    result.gdMercaptanMolarMass = MercaptanLumpMolarMass(gdSulphur.rows, ids.hydrogenSulphide, molConc);
    result.dcMercaptanMolarMass = MercaptanLumpMolarMass(dcSulphur.rows, ids.hydrogenSulphide, molConc);

    // The molar masses read the result under construction: the mercaptan
    // lumps and the C12+ residue get their own.
    const ItemValue gsMolarMass = [&result, ids](const PgMethod1Item& item) {
        return item.id == ids.mercaptans ? result.gsMercaptanMolarMass : item.molarMass;
    };
    const ItemValue gdMolarMass = [&result, ids](const PgMethod1Item& item) {
        return item.id == ids.mercaptans ? result.gdMercaptanMolarMass : item.molarMass;
    };
    const ItemValue dcMolarMass = [&result, ids](const PgMethod1Item& item) {
        if (item.id == ids.mercaptans)
            return result.dcMercaptanMolarMass;
        return item.id == ids.c12 ? result.c12PlusMolarMass : item.molarMass;
    };

    CalcGsColumns(result, gsMolarMass);
    CalcGdColumns(result, gdMolarMass, params);
    CalcDcColumns(result, dcMolarMass, params, ids.c12);
    CalcKgnColumns(result);
    CalcPgColumns(result, m_c5PlusComponents);

    for (const GasComponent* component : m_c5PlusComponents) {
        if (const PgMethod1Item* item = FirstRowWithId(result.rows, component->id))
            AddValues(result.c5PlusTotal, *item);
    }
    return result;
}

PgSulphurResult CalcPgMethod1::CalcSulphurSummary(const SulphurResult& gsSulphur, const SulphurResult& gdSulphur,
                                                  const SulphurResult& dcSulphur,
                                                  const CalcPgMethod1Result& method1,
                                                  const GasComponentTable& components) const
{
    PgSulphurResult result;
    for (const PgMethod1Item& item : method1.rows) {
        result.sumGsVol += item.GsVol;
        result.sumGsMas += item.GsMas;
        result.sumGdVol += item.GdVol;
        result.sumGdMas += item.GdMas;
        result.sumDcMas += item.DcMas;
        result.sumDcVol += item.DcVol;
        result.sumKgnVol += item.KgnVol;
        result.sumKgnMas += item.KgnMas;
        result.sumPgVol += item.PgVol;
        result.sumPgGs += item.PgGs;
        result.sumPgDry += item.PgDry;
        result.sumPgPg += item.PgPg;
    }

    for (const GasComponent* compound : components.SulphurComponents()) {
        const SulphurRow* gs = FirstRowWithId(gsSulphur.rows, compound->id);
        const SulphurRow* gd = FirstRowWithId(gdSulphur.rows, compound->id);
        const SulphurRow* dc = FirstRowWithId(dcSulphur.rows, compound->id);
        if (!gs && !gd && !dc)
            continue;

        PgMethod1Item item;
        item.id = compound->id;
        item.name = compound->name;
        item.molarMass = compound->molarMass;
        if (gs) {
            item.GsMol = gs->molConc;
            item.GsVol = gs->molConc * 10.0;
            item.GsMasF = gs->mean;
            item.GsMas = gs->mean * result.sumGsMas / 100.0;
        }
        if (gd) {
            item.GdMol = gd->molConc;
            item.GdVol = gd->molConc * result.sumGdVol / 100.0;
            item.GdMasF = gd->mean;
            item.GdMas = gd->mean * result.sumGdMas / 100.0;
        }
        if (dc) {
            item.DcMol = dc->molConc;
            item.DcVol = dc->molConc * result.sumDcVol / 100.0;
            item.DcMasF = dc->mean;
            item.DcMas = dc->mean * result.sumDcMas / 100.0;
        }
        item.KgnVol = item.DcVol + item.GdVol;
        item.KgnMas = item.DcMas + item.GdMas;
        if (result.sumKgnVol != 0.0)
            item.KgnMol = item.KgnVol * 100.0 / result.sumKgnVol;
        if (result.sumKgnMas != 0.0)
            item.KgnMasF = item.KgnMas * 100.0 / result.sumKgnMas;
        item.PgVol = item.KgnVol + item.GsVol;
        item.PgGs = item.KgnMas + item.GsMas;
        if (result.sumPgVol != 0.0)
            item.PgMol = item.PgVol * 100.0 / result.sumPgVol;
        if (result.sumPgGs != 0.0)
            item.PgMasF = item.PgGs * 100.0 / result.sumPgGs;
        item.PgDry = item.PgGs * method1.dryGasFactor;
        item.PgPg = item.PgGs * method1.pgGasFactor;
        result.rows.push_back(item);
    }
    return result;
}
