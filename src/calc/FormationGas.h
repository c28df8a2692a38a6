#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "calc/CalcResult.h"
#include "calc/CondensateRow.h"
#include "calc/GasAnalysis.h"
#include "calc/Methanol.h"
#include "calc/PgResults.h"
#include "calc/SulphurCompounds.h"
#include "data/GasComponents.h"

class CSettings;
class SamplingParameters;

// Molar volume, dm3/mol, of every gas volume of the formation-gas methods.
inline constexpr double kPgMolarVolume = 24.04;

// The id that names no catalogue component: a failed look-up matches no row.
inline constexpr std::int32_t kNoComponentId = INT32_MIN;

// The catalogue id of a component, or kNoComponentId.
std::int32_t ComponentIdOf(const GasComponentTable& components, const QString& name);

// Molar mass, g/mol, of the C12+ residue of a mixture of the mean molar mass
// x: the moles that the listed components leave of 100 / x carry the mass
// fraction of "Группа С12". The moles of the others are the sum of w / m over
// those with both values non-zero. 0 when x is 0, when there is no C12 item
// (the last with that id counts) or when nothing is left for it.
template <typename Item>
double CalcC12PlusMolarMass(const std::vector<Item>& items, const std::function<double(const Item&)>& w,
                            const std::function<double(const Item&)>& m, double x, std::int32_t c12Id)
{
    if (x == 0.0)
        return 0.0;
    double moles = 0.0;
    const Item* c12 = nullptr;
    for (const Item& item : items) {
        if (item.id == c12Id) {
            c12 = &item;
            continue;
        }
        const double wi = w(item);
        if (wi == 0.0)
            continue;
        const double mi = m(item);
        if (mi != 0.0)
            moles += wi / mi;
    }
    if (!c12)
        return 0.0;
    const double t = 100.0 / x - moles;
    return t > 0.0 ? w(*c12) / t : 0.0;
}

// Names as errors of the calculation (its prefix, "ПГ Способ 1") the
// sampling parameters that the formation gas cannot do without and that are
// left at 0; a parameter whose 0 may be real (0 °C) is not named. True when
// it named one: the calculation's result is then in error.
bool ReportUnsetPgParameters(const QString& prefix, const SamplingParameters& params, MessageLog& log);

// The formation gas from the three phases of one sampling run, every amount
// per m3 of separator gas; the degassing gas and the condensate are scaled by
// the sampled volumes.
class CalcPgMethod1
{
public:
    using PgMethod1Item = ::PgMethod1Item;
    using ItemValue = std::function<double(const PgMethod1Item&)>;

    // The inputs are only read; an input flagged in error is reported and
    // used as it stands, without flagging the result. A sampling parameter
    // left at 0 flags it. Null settings read as the defaults.
    CalcPgMethod1Result Calculate(const GasAnalysisResult& gsAnalysis, const SulphurResult& gsSulphur,
                                  const GasMethanolResult& gsMethanol, const GasAnalysisResult& gdAnalysis,
                                  const SulphurResult& gdSulphur, const GasMethanolResult& gdMethanol,
                                  const CondensateResult& dcGroups, const SulphurResult& dcSulphur,
                                  const CondensateMethanolResult& dcMethanol, const CSettings* settings,
                                  const CalcEnvironment& env);

    // Every sulphur compound of the three analyses against the method-1
    // totals of each phase. Reads no settings and writes no message.
    PgSulphurResult CalcSulphurSummary(const SulphurResult& gsSulphur, const SulphurResult& gdSulphur,
                                       const SulphurResult& dcSulphur, const CalcPgMethod1Result& method1,
                                       const GasComponentTable& components) const;

    // Molar mass of the C12+ residue over the method-1 items.
    static double CalcDcMolar(const std::vector<PgMethod1Item>& items, const ItemValue& w, const ItemValue& m,
                              double x, std::int32_t c12Id)
    {
        return CalcC12PlusMolarMass<PgMethod1Item>(items, w, m, x, c12Id);
    }

    // The 23 components of the method and its 11 C5+ components; filled by the
    // first calculation and kept while the catalogue stays the same.
    const GasComponentList& componentOrder() const { return m_componentOrder; }
    const GasComponentList& c5PlusComponents() const { return m_c5PlusComponents; }
    const CSettings* settings() const { return m_settings; }

private:
    void BuildComponentOrder(const GasComponentTable& components);

    GasComponentList m_componentOrder;
    GasComponentList m_c5PlusComponents;
    const GasComponentTable* m_orderSource = nullptr;
    const CSettings* m_settings = nullptr;
};

// The formation gas a second time, from the compositions of method 1 and the
// weighings of the sampler and the trap; masses and mass fractions only.
class CalcPgMethod2
{
public:
    using PgMethod2Item = ::PgMethod2Item;
    using ItemValue = std::function<double(const PgMethod2Item&)>;

    // Checks no input; names only the weighing parameters left at 0, which
    // flag its result. Null settings read as the defaults.
    CalcPgMethod2Result Calculate(const CalcPgMethod1Result& method1, const PgSulphurResult& sulphurSummary,
                                  const CSettings* settings, const CalcEnvironment& env);

    static double CalcC12Residue(const std::vector<PgMethod2Item>& items, const ItemValue& w, const ItemValue& m,
                                 double x, std::int32_t c12Id)
    {
        return CalcC12PlusMolarMass<PgMethod2Item>(items, w, m, x, c12Id);
    }

    const CSettings* settings() const { return m_settings; }

private:
    const CSettings* m_settings = nullptr;
};

// Σ M × share / Σ share over the rows other than hydrogen sulphide: the molar
// mass of the lumped mercaptans (every sulphur compound but H2S); 0 when the
// shares sum to 0.
template <typename Row>
double MercaptanLumpMolarMass(const std::vector<Row>& rows, std::int32_t hydrogenSulphideId,
                              const std::function<double(const Row&)>& share)
{
    double massSum = 0.0;
    double shareSum = 0.0;
    for (const Row& row : rows) {
        if (row.id == hydrogenSulphideId)
            continue;
        massSum += row.molarMass * share(row);
        shareSum += share(row);
    }
    return shareSum != 0.0 ? massSum / shareSum : 0.0;
}
