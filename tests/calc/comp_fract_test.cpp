#include <gtest/gtest.h>

#include "calc/CompFract.h"
#include "data/MessageLog.h"
#include "support/CalcInputs.h"
#include "support/NumericCompare.h"

// The two compositions differ only in the method they read and the texts
// they write, so every case runs on both.

using namespace calc_inputs;

namespace {

struct Method1Kind
{
    using Calculator = CalcPgCompFract1;
    using Result = CalcPgMethod1Result;
    using Item = PgMethod1Item;
    static constexpr const char* fractionsError = "ПГ Комп.-фракц. Способ 1: В расчете 'ДК С6-С44 Фр.' есть ошибки.";
    static constexpr const char* methodError = "ПГ Комп.-фракц. Способ 1: В расчете 'ПГ Способ 1' есть ошибки.";
    static constexpr const char* prefix = "ПГ Способ 1";
};

struct Method2Kind
{
    using Calculator = CalcPgCompFract2;
    using Result = CalcPgMethod2Result;
    using Item = PgMethod2Item;
    static constexpr const char* fractionsError = "ПГ Комп.-фракц. Способ 2: В расчете 'ДК С6-С44 Фр.' есть ошибки.";
    static constexpr const char* methodError = "ПГ Комп.-фракц. Способ 2: В расчете 'ПГ Способ 2' есть ошибки.";
    static constexpr const char* prefix = "ПГ Способ 2";
};

struct Shares
{
    const char* name;
    double dc, kgn, pg;
};

template <typename Kind>
class CompFractTest : public ::testing::Test
{
protected:
    const GasComponent& C(const char* name) const
    {
        const GasComponent* c = tables.gas.FindComponentByName(QString::fromUtf8(name));
        EXPECT_NE(c, nullptr) << name;
        return *c;
    }

    void AddItem(const Shares& s)
    {
        typename Kind::Item item;
        item.id = C(s.name).id;
        item.name = C(s.name).searchName;
        item.DcMasF = s.dc;
        item.KgnMasF = s.kgn;
        item.PgMasF = s.pg;
        method.rows.push_back(item);
    }

    void AddFraction(int id, const QString& name, double mean)
    {
        CondensateRow row;
        row.id = id;
        row.name = name;
        row.mean = mean;
        fractions.rows.push_back(row);
    }
    void AddFraction(const char* component, double mean) { AddFraction(C(component).id, C(component).searchName, mean); }

    CompFractResult Calculate() { return calculator.Calculate(fractions, method, env); }

    ReferenceTables tables;
    MessageLog log;
    CalcEnvironment env{log, tables.gas, tables.temp};
    typename Kind::Calculator calculator;
    CondensateResult fractions;
    typename Kind::Result method;
};

using Kinds = ::testing::Types<Method1Kind, Method2Kind>;
TYPED_TEST_SUITE(CompFractTest, Kinds);

const QStringList kLightSearchNames = {"Меркаптаны", "Водород", "Гелий", "Метан", "Азот", "Этан", "Метанол",
                                       "Сульфид водорода", "Диоксид углерода", "Пропан", "и-Бутан", "н-Бутан",
                                       "Циклопентан", "и-Пентан", "н-Пентан", "нео-Пентан"};

} // namespace

TYPED_TEST(CompFractTest, emptyInputsGiveTheLightComponentsAndEveryFraction)
{
    for (bool flagged : {false, true}) {
        SCOPED_TRACE(flagged ? "inputs in error" : "inputs clean");
        this->log.ClearMessages();
        this->fractions.hasError = flagged;
        this->method.hasError = flagged;
        const CompFractResult r = this->Calculate();

        ASSERT_EQ(r.rows.size(), 64u);
        EXPECT_FALSE(r.hasError);
        EXPECT_EQ(r.nParallel, 0);
        QStringList fractionNames;
        for (std::size_t k = 0; k < r.rows.size(); ++k) {
            const CompFractRecord& rec = r.rows[k];
            EXPECT_EQ(rec.dc + rec.kgn + rec.pg, 0.0);
            if (k < 16)
                EXPECT_TRUE(rec.name.isEmpty()) << k;
            else
                fractionNames << rec.name;
        }
        EXPECT_EQ(r.rows[0].id, 98);
        EXPECT_EQ(r.rows[15].id, 8);
        EXPECT_EQ(r.rows[16].id, 1045060);
        EXPECT_EQ(r.rows[63].id, 1520530);
        EXPECT_EQ(fractionNames.first(), QStringLiteral("45 - 60"));
        EXPECT_EQ(fractionNames[1], QStringLiteral("60 - 70"));
        EXPECT_EQ(fractionNames.last(), QStringLiteral("520 - 530"));
        EXPECT_EQ(this->log.errors(), flagged ? Texts({TypeParam::fractionsError, TypeParam::methodError})
                                              : std::vector<QString>());
        EXPECT_TRUE(this->log.infos().empty());
    }
}

TYPED_TEST(CompFractTest, fractionsFollowTheGroupsOfTheMethod)
{
    this->AddFraction("Сульфид водорода", 0.002);
    this->AddFraction("Меркаптаны", 0.004);
    this->AddFraction("Метанол", 0.003);
    this->AddFraction("Метан", 0.04);
    this->AddFraction("Бензол", 0.5);
    this->AddFraction(1060070, QStringLiteral("60 - 70"), 2.0);
    this->AddFraction(1520530, QStringLiteral("520 - 530"), 0.01);
    this->AddFraction(1060070, QStringLiteral("60 - 70"), 9.0);  // a second row of one fraction

    this->AddItem({"Этан", 0.35, 1.2, 5.0});
    this->AddItem({"Сульфид водорода", 0.002, 0.003, 0.01});
    this->AddItem({"Группа С6", 10, 7, 2});
    this->AddItem({"Группа С7", 30, 23, 6});
    this->AddItem({"Аргон", 0, 0.1, 0.2});
    const CompFractResult r = this->Calculate();

    struct Expected
    {
        std::size_t row;
        const char* name;
        double dc, kgn, pg;
    };
    // Sdc = 40, Sкгн = 30, Sпг = 8: a fraction of 2 % gives 1.5 % and 0.4 %.
    const Expected expected[] = {
        {0, "Меркаптаны", 0.004, 0, 0},
        {1, "", 0, 0, 0},
        {3, "Метан", 0.04, 0, 0},
        {5, "Этан", 0, 1.2, 5.0},
        {6, "Метанол", 0.003, 0, 0},
        {7, "Сульфид водорода", 0.002, 0.003, 0.01},
        {16, "45 - 60", 0, 0, 0},
        {17, "60 - 70", 2.0, 1.5, 0.4},
        {63, "520 - 530", 0.01, 0.0075, 0.002},
    };
    ASSERT_EQ(r.rows.size(), 64u);
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const CompFractRecord& rec = r.rows[e.row];
        EXPECT_EQ(rec.name, QString::fromUtf8(e.name));
        EXPECT_REL_NEAR(rec.dc, e.dc);
        EXPECT_REL_NEAR(rec.kgn, e.kgn);
        EXPECT_REL_NEAR(rec.pg, e.pg);
    }
    EXPECT_EQ(this->log.infos(), (std::vector<QString>{
        QStringLiteral("ДК С6-С44 Фр.: Компонент 'Бензол' не использован в расчёте."),
        QStringLiteral("ДК С6-С44 Фр.: Компонент '60 - 70' не использован в расчёте."),
        QStringLiteral("%1: Компонент 'Аргон' не использован в расчёте.").arg(QString::fromUtf8(TypeParam::prefix)),
    }));
    EXPECT_TRUE(this->log.errors().empty());
}

TYPED_TEST(CompFractTest, withoutGroupsTheFractionsStayInTheCondensate)
{
    this->AddFraction(1100110, QStringLiteral("100 - 110"), 6.0);
    this->AddItem({"Метан", 0.04, 2.0, 70.0});
    const CompFractResult r = this->Calculate();

    const CompFractRecord* fraction = Find(r.rows, QStringLiteral("100 - 110"));
    ASSERT_NE(fraction, nullptr);
    EXPECT_REL_NEAR(fraction->dc, 6.0);
    EXPECT_EQ(fraction->kgn + fraction->pg, 0.0);
    EXPECT_REL_NEAR(r.rows[3].pg, 70.0);
    EXPECT_TRUE(this->log.noMessages());
}

TYPED_TEST(CompFractTest, lightListIsKeptWhileNamesComeFromTheInputs)
{
    this->Calculate();
    const GasComponentList first = this->calculator.lightComponents();
    QStringList names;
    for (const GasComponent* c : first)
        names << c->searchName;
    EXPECT_EQ(names, kLightSearchNames);

    ASSERT_NE(this->tables.gas.SetSearchName(this->C("Метан").id, QStringLiteral("CH4")), nullptr);
    this->AddItem({"Метан", 0.04, 2.0, 70.0});
    const CompFractResult r = this->Calculate();
    EXPECT_EQ(this->calculator.lightComponents(), first);
    EXPECT_EQ(r.rows[3].name, QStringLiteral("CH4"));
}

TYPED_TEST(CompFractTest, anotherCatalogueRebuildsTheLightListThoughTheFirstIsGone)
{
    CompFractResult r;
    const std::unique_ptr<GasComponentTable> second =
        RunOnSecondCatalogue({u"Метан", u"Этан", u"н-Пентан"}, {u"Аргон", u"н-Пентан", u"Метан"}, [&](const GasComponentTable& gas) {
            r = this->calculator.Calculate(this->fractions, this->method, CalcEnvironment{this->log, gas, this->tables.temp});
        });
    // Methane then n-pentane, as the light list orders them, and every fraction.
    ASSERT_EQ(r.rows.size(), 2u + 48u);
    EXPECT_EQ(r.rows[0].id, 3);
    EXPECT_EQ(r.rows[1].id, 2);
    EXPECT_EQ(this->calculator.lightComponents(),
              (GasComponentList{second->FindComponentByName("Метан"), second->FindComponentByName("н-Пентан")}));
}
