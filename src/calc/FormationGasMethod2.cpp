#include "calc/FormationGas.h"

#include "data/Settings.h"

#include <algorithm>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// Grams per m3 of separator gas of the unstable condensate, the degassed
// condensate (sampler and trap together) and the degassing gas, from the
// weighings. All 0 without a sampler volume.
struct WeighedAmounts
{
    double kgn = 0.0;
    double dc = 0.0;
    double gd = 0.0;
};

WeighedAmounts Weighed(const SamplingParameters& p)
{
    WeighedAmounts m;
    if (p.PgVol1 == 0.0)
        return m;
    m.kgn = (p.PgMpokgn - p.PgMpoempty) * p.PgQkgn / p.PgVol1;
    m.dc = ((p.PgMpodc - p.PgMpoempty) + p.PgMtrapdc - p.PgMtrapempty) * p.PgQkgn / p.PgVol1;
    // Inconsistent weighings give a negative amount; the operator sees it.
    m.gd = m.kgn - m.dc;
    return m;
}

} // namespace

CalcPgMethod2Result CalcPgMethod2::Calculate(const CalcPgMethod1Result& method1,
                                             const PgSulphurResult& sulphurSummary, const CSettings* settings,
                                             const CalcEnvironment& env)
{
    m_settings = settings;
    const SamplingParameters& params = SettingsOrDefaults(settings).params;
    const GasComponentTable& components = env.components;
    CalcPgMethod2Result result;
    // A method-1 result of nothing measured leaves nothing to weigh.
    if (std::any_of(method1.rows.begin(), method1.rows.end(), [](const PgMethod1Item& item) {
            return item.GsMol != 0.0 || item.GdMol != 0.0 || item.DcMasF != 0.0;
        }))
        result.hasError = ReportUnsetPgParameters(QStringLiteral("ПГ Способ 2"), params, env.log);
    const std::int32_t hydrogenSulphide = ComponentIdOf(components, Text(u"Сульфид водорода"));
    const std::int32_t mercaptans = ComponentIdOf(components, Text(u"Меркаптаны"));
    const std::int32_t c12 = ComponentIdOf(components, Text(u"Группа С12"));

    result.gsMolarMass = method1.gsMolarMass;
    result.gsDensity = method1.gsDensity;
    result.gdMolarMass = method1.gdMolarMass;
    result.gdDensity = method1.gdDensity;
    result.c12PlusMolarMass = method1.c12PlusMolarMass;
    result.dcMolarMass = method1.dcMolarMass;

    // The mercaptan lump of each phase: its compounds' molar masses weighted
    // by their mole shares in that phase.
    result.kgnMercaptanMolarMass = MercaptanLumpMolarMass<PgMethod1Item>(
        sulphurSummary.rows, hydrogenSulphide, [](const PgMethod1Item& item) { return item.KgnMol; });
    result.pgMercaptanMolarMass = MercaptanLumpMolarMass<PgMethod1Item>(
        sulphurSummary.rows, hydrogenSulphide, [](const PgMethod1Item& item) { return item.PgMol; });

    // The separator gas's mass per m3 does not depend on the sampler.
    double Tgs = 0.0;
    for (const PgMethod1Item& item : method1.rows)
        Tgs += item.GsMas;
    const WeighedAmounts m = Weighed(params);

    if (result.gdMolarMass != 0.0 && result.dcMolarMass != 0.0) {
        const double moles = m.dc / result.dcMolarMass + m.gd / result.gdMolarMass;
        if (moles != 0.0)
            result.kgnMolarMass = (m.gd + m.dc) / moles;
    }

    for (const PgMethod1Item& source : method1.rows) {
        PgMethod2Item item;
        item.id = source.id;
        item.name = source.name;
        item.molarMass = source.molarMass;
        item.GsMol = source.GsMol;
        item.GsMasF = source.GsMasF;
        item.GdMol = source.GdMol;
        item.GdMasF = source.GdMasF;
        item.DcMol = source.DcMol;
        item.DcMasF = source.DcMasF;
        item.GsMas = Tgs * item.GsMasF / 100.0;
        item.GdMas = item.GdMasF * m.gd / 100.0;
        item.DcMas = item.DcMasF * m.dc / 100.0;
        item.KgnMas = item.DcMas + item.GdMas;
        if (m.kgn != 0.0)
            item.KgnMasF = item.KgnMas * 100.0 / m.kgn;
        result.rows.push_back(item);
    }

    const ItemValue kgnMolarMass = [&result, mercaptans, c12](const PgMethod2Item& item) {
        if (item.id == mercaptans)
            return result.kgnMercaptanMolarMass;
        return item.id == c12 ? result.kgnC12PlusMolarMass : item.molarMass;
    };
    const ItemValue pgMolarMass = [&result, mercaptans, c12](const PgMethod2Item& item) {
        if (item.id == mercaptans)
            return result.pgMercaptanMolarMass;
        return item.id == c12 ? result.pgC12PlusMolarMass : item.molarMass;
    };

    result.kgnC12PlusMolarMass = CalcC12Residue(
        result.rows, [](const PgMethod2Item& item) { return item.KgnMasF; }, kgnMolarMass, result.kgnMolarMass, c12);
    double Skgn = 0.0;
    for (const PgMethod2Item& item : result.rows) {
        const double M = kgnMolarMass(item);
        if (M != 0.0)
            Skgn += item.KgnMasF / M;
    }
    double T = 0.0;
    for (PgMethod2Item& item : result.rows) {
        const double M = kgnMolarMass(item);
        if (M != 0.0 && Skgn != 0.0)
            item.KgnMol = item.KgnMasF * 100.0 / M / Skgn;
        item.PgGs = item.GsMas + item.KgnMas;
        T += item.PgGs;
    }
    if (T != 0.0) {
        for (PgMethod2Item& item : result.rows)
            item.PgMasF = item.PgGs * 100.0 / T;
    }

    // The mean molar mass of the formation gas is method 1's.
    result.pgC12PlusMolarMass = CalcC12Residue(
        result.rows, [](const PgMethod2Item& item) { return item.PgMasF; }, pgMolarMass, method1.pgMolarMass, c12);
    double Spg = 0.0;
    for (const PgMethod2Item& item : result.rows) {
        const double M = pgMolarMass(item);
        if (M != 0.0)
            Spg += item.PgMasF / M;
    }
    for (PgMethod2Item& item : result.rows) {
        const double M = pgMolarMass(item);
        if (M != 0.0 && Spg != 0.0)
            item.PgMol = item.PgMasF * 100.0 / M / Spg;
    }
    double molarMass = 0.0;
    for (const PgMethod2Item& item : result.rows)
        molarMass += pgMolarMass(item) * item.PgMol / 100.0;
    result.pgMolarMass = molarMass;
    result.pgDensity = molarMass / kPgMolarVolume;
    return result;
}
