#include <gtest/gtest.h>

#include "support/CondensateRows.h"
#include "support/RecalculationFixture.h"

// Norms and uncertainties are the constants of table A.3: r2 for two
// parallels, 3.3·r3 for three.

using namespace calc_inputs;

namespace {

class CondensateC1C5Test : public RecalculationTest
{
protected:
    CondensateResult Recalculate()
    {
        RecalculationTest::Recalculate();
        return data.GetDcC1C5Result();
    }
    // The calculator's own errors; its prefix writes C1C5 in Latin, the slot names in Cyrillic.
    std::vector<QString> Errors() const
    {
        std::vector<QString> own = Only(log.errors(), "ДК C1C5");
        for (const QString& e : Only(log.errors(), "ДК \u04211\u04215"))
            own.push_back(e);
        return own;
    }
};

} // namespace

TEST_F(CondensateC1C5Test, twoParallelsTakeTheTableConcentrations)
{
    records = {
        Record(30, "/lab/l1.stg", {{"Пропан", 0, 0.08}, {"Водород", 0, 0.5}, {"Этан", 0, 0.3}, {"Метан", 0, 1.2}}),
        Record(31, "/lab/l2.stg", {{"Метан", 0, 1.25}, {"Этан", 0, 0.305}, {"Пропан", 0, 0.09}}),
        Record(32, "/lab/l3.stg", {{"Метан", 0, 9.0}}),  // a third run beyond two parallels
    };
    const CondensateResult r = Recalculate();
    EXPECT_EQ(r.nParallel, 2);
    ASSERT_EQ(r.rows.size(), 3u);
    ExpectCondensateRows(r, 0, {{"Метан", {1.2, 1.25}, 1.225, 0.05, 0.02, 0.04, false},
                                {"Этан", {0.3, 0.305}, 0.3025, 0.005, 0.008, 0.02, true},
                                {"Пропан", {0.08, 0.09}, 0.085, 0.01, 0.002, 0.004, false}});
    EXPECT_EQ(r.rows[0].id, tables.gas.FindComponentByName("Метан")->id);
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(Except(log.infos(), "ГС"), Texts({"ДК С1С5 1: Пик 'Водород' не использован в расчете.",
                                                "ДК С1С5 3: Пик 'Метан' не использован в расчете."}));

    for (const auto& [x, norm, u] : {std::tuple{0.01, 0.0, 0.0}, {0.1, 0.002, 0.004}, {2.5, 0.02, 0.04}, {6.0, 0.14, 0.3},
                                     {6.0001, 0.0, 0.0}}) {
        records = {Record(30, "/lab/l1.stg", {{"н-Бутан", 0, x}}), Record(31, "/lab/l2.stg", {{"н-Бутан", 0, x}})};
        ExpectCondensateRows(Recalculate(), 0, {{"н-Бутан", {x, x}, x, 0, norm, u, norm > 0}});
        EXPECT_EQ(Errors().size(), norm > 0 ? 0u : 1u) << x;
    }
    EXPECT_EQ(Errors(), Texts({"ДК C1C5: Невозможно выполнить проверку по таблице A.3 для компонента н-Бутан. Концентрация вне диапазона."}));
}

TEST_F(CondensateC1C5Test, threeParallelsCountAMissingPeakAsZero)
{
    settings.general.QtyDcC1C5 = 1;
    records = {
        Record(30, "/lab/l1.stg", {{"Метан", 0, 3.0}, {"Пропан", 0, 0.2}}),
        Record(31, "/lab/l2.stg", {{"Метан", 0, 3.3}}),
        Record(32, "/lab/l3.stg", {{"Пропан", 0, 0.4}}),
    };
    ExpectCondensateRows(Recalculate(), 0, {{"Метан", {3.0, 3.3, 0}, 2.1, 3.3, 0.0231, 0.04, false},
                                            {"Пропан", {0.2, 0, 0.4}, 0.2, 0.4, 0.0099, 0.02, false}});
    EXPECT_EQ(Errors(), Texts({"ДК С1С5 3: Компонент Метан не найден в наборе хроматограмм.",
                               "ДК С1С5 2: Компонент Пропан не найден в наборе хроматограмм."}));

    records.pop_back();  // a run never assigned counts 0 without a message
    EXPECT_EQ(Recalculate().rows[0].conc, (std::vector<double>{3.0, 3.3, 0}));
    EXPECT_EQ(Errors(), Texts({"ДК С1С5 2: Компонент Пропан не найден в наборе хроматограмм."}));
    records.clear();
    EXPECT_TRUE(Recalculate().rows.empty());
}
