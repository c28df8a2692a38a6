#pragma once

#include "calc/CalcResult.h"
#include "calc/CondensateRow.h"
#include "calc/PgResults.h"
#include "data/GasComponents.h"

// The component-fraction composition of the formation gas by one of the two
// methods: every light component and every boiling-range fraction of the
// condensate as mass % of the condensate, the unstable condensate and the
// formation gas. The fractions are scaled as the method shares the carbon-
// number groups between the three.
class CompFractCalculator
{
public:
    // The 16 light components; built by the first calculation and kept while
    // the catalogue stays the same.
    const GasComponentList& lightComponents() const { return m_light; }

protected:
    struct Kind
    {
        const char16_t* fractionsError;  // the fractions input carries errors
        const char16_t* methodError;     // the method input carries errors
        const char16_t* methodLabel;     // prefix of the method's unused items
    };
    explicit CompFractCalculator(Kind kind) : m_kind(kind) {}

    template <typename Item>
    CompFractResult Compose(const CondensateResult& fractions, const std::vector<Item>& items, bool methodHasError,
                            const CalcEnvironment& env);

private:
    void BuildLightComponentIds(const GasComponentTable& components);

    Kind m_kind;
    GasComponentList m_light;
    const GasComponentTable* m_lightSource = nullptr;
};

class CalcPgCompFract1 final : public CompFractCalculator
{
public:
    CalcPgCompFract1();
    CompFractResult Calculate(const CondensateResult& fractions, const CalcPgMethod1Result& method1,
                              const CalcEnvironment& env);
};

class CalcPgCompFract2 final : public CompFractCalculator
{
public:
    CalcPgCompFract2();
    CompFractResult Calculate(const CondensateResult& fractions, const CalcPgMethod2Result& method2,
                              const CalcEnvironment& env);
};
