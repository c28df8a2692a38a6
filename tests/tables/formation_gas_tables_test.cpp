#include <gtest/gtest.h>

#include "support/CalcInputs.h"
#include "tables/ResultTables.h"

#include <array>

namespace {

using Rows = std::vector<TableRow>;

// The 22 method-1 values by column, so each item can carry its own numbers.
std::array<double*, 22> Values(PgMethod1Item& i)
{
    return {&i.GsMol, &i.GsVol, &i.GsMasF, &i.GsMas, &i.GdMol, &i.GdVol, &i.GdMasF, &i.GdMas,
            &i.DcMol, &i.DcVol, &i.DcMasF, &i.DcMas, &i.KgnMol, &i.KgnVol, &i.KgnMasF, &i.KgnMas,
            &i.PgMol, &i.PgVol, &i.PgMasF, &i.PgGs, &i.PgDry, &i.PgPg};
}

// Column j (1 .. 22) holds j in the first item and j / 2 in the second, so
// every column sums to its own 1.5 j and a swapped column shows.
PgMethod1Item Item(const char* name, double scale)
{
    PgMethod1Item item;
    item.name = QString::fromUtf8(name);
    std::array<double*, 22> values = Values(item);
    for (std::size_t j = 0; j < values.size(); ++j)
        *values[j] = scale * static_cast<double>(j + 1);
    return item;
}

QString Fixed3(double v) { return QString::number(v, 'f', 3); }

class FormationGasRowsTest : public ::testing::Test
{
protected:
    FormationGasRowsTest() { tables.Setup(GeneralSettings()); }
    ResultTables tables;
};

} // namespace

TEST_F(FormationGasRowsTest, method1SumsEveryColumnAndShowsTheC5PlusAndLabelRows)
{
    CalcPgMethod1Result result;
    result.rows = {Item("Метан", 1.0), Item("Этан", 0.5)};
    for (std::size_t j = 0; j < 22; ++j)
        *Values(result.c5PlusTotal)[j] = 1000.0 + static_cast<double>(j);
    result.gsMolarMass = 17.1;
    result.gdMolarMass = 25.2;
    result.dcMolarMass = 98.3;
    result.c12PlusMolarMass = 210.4;
    result.pgMolarMass = 21.5;
    result.gsDensity = 0.71;
    result.gdDensity = 1.05;
    result.pgDensity = 0.89;

    const Rows rows = tables.pg.method1.RowsOf(result, 0, 3);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0][0], QStringLiteral("Метан"));
    EXPECT_EQ(rows[1][20], QStringLiteral("10.000"));
    EXPECT_EQ(rows[2][0], QStringLiteral("Всего:"));
    EXPECT_EQ(rows[3][0], QStringLiteral("C5H12+B:"));
    for (int j = 1; j <= 22; ++j) {
        EXPECT_EQ(rows[0][j], Fixed3(j)) << j;
        EXPECT_EQ(rows[2][j], Fixed3(1.5 * j)) << j;
        EXPECT_EQ(rows[3][j], Fixed3(999.0 + j)) << j;
    }
    EXPECT_EQ(rows[4], TableRow(23));
    EXPECT_EQ(rows[5], TableRow({"Мол. масса, г/моль", "17.100", "", "", "", "25.200", "", "", "", "Мдк:", "98.300",
                                 "Мс12+в:", "210.400", "", "", "", "", "21.500", "", "", "", "", ""}));
    EXPECT_EQ(rows[6], TableRow({"Плотность, кг/м3", "0.710", "", "", "", "1.050", "", "", "", "", "", "", "", "", "",
                                 "", "", "0.890", "", "", "", "", ""}));
}

TEST_F(FormationGasRowsTest, emptyMethod1ResultShowsItsLabelRowsWithZeroSums)
{
    CalcPgMethod1Result result;
    result.pgMolarMass = 19.0;
    const Rows rows = tables.pg.method1.RowsOf(result, 0, 1);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0][0], QStringLiteral("Всего:"));
    EXPECT_EQ(rows[0][22], QStringLiteral("0.0"));
    EXPECT_EQ(rows[1][0], QStringLiteral("C5H12+B:"));
    EXPECT_EQ(rows[3][17], QStringLiteral("19.0"));
}

TEST_F(FormationGasRowsTest, sulphurRowsSumTheCompoundsAndShowTheMethod1Totals)
{
    PgSulphurResult result;
    result.rows = {Item("Сероводород", 1.0), Item("Метилмеркаптан", 0.5)};
    result.sumGsVol = 1.25;
    result.sumGsMas = 2.25;
    result.sumGdVol = 3.25;
    result.sumGdMas = 4.25;
    result.sumDcMas = 5.25;
    result.sumDcVol = 6.25;
    result.sumKgnVol = 7.25;
    result.sumKgnMas = 8.25;
    result.sumPgVol = 9.25;
    result.sumPgGs = 10.25;
    result.sumPgDry = 11.25;
    result.sumPgPg = 12.25;

    const Rows rows = tables.pg.sulphur.RowsOf(result, 0, 3);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2][0], QStringLiteral("Всего CCC:"));
    for (int j = 1; j <= 22; ++j)
        EXPECT_EQ(rows[2][j], Fixed3(1.5 * j)) << j;
    EXPECT_EQ(rows[3], TableRow({"Всего:", "", "1.250", "", "2.250", "", "3.250", "", "4.250", "", "6.250", "",
                                 "5.250", "", "7.250", "", "8.250", "", "9.250", "", "10.250", "11.250", "12.250"}));
}

TEST_F(FormationGasRowsTest, method2ShowsTheUnstableCondensateMolarMass)
{
    CalcPgMethod2Result result;
    result.rows.push_back({1, "Метан", 16.04, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    result.rows.push_back({2, "Этан", 30.07, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5, 5.5, 6, 6.5, 7, 7.5});
    result.gsMolarMass = 18.5;
    result.gdMolarMass = 31.25;
    result.dcMolarMass = 102.5;
    result.c12PlusMolarMass = 220.75;
    result.kgnMolarMass = 77.125;
    result.pgMolarMass = 23.5;
    result.pgDensity = 0.975;

    const Rows rows = tables.pg.method2.RowsOf(result, 0, 3);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1], TableRow({"Этан", "0.500", "1.000", "1.500", "2.000", "2.500", "3.000", "3.500", "4.000",
                                 "4.500", "5.000", "5.500", "6.000", "6.500", "7.000", "7.500"}));
    EXPECT_EQ(rows[2][0], QStringLiteral("Всего:"));
    for (int j = 1; j <= 15; ++j)
        EXPECT_EQ(rows[2][j], Fixed3(1.5 * j)) << j;
    EXPECT_EQ(rows[3], TableRow(16));
    EXPECT_EQ(rows[4], TableRow({"Мол. масса, г/моль", "18.500", "", "", "31.250", "", "", "Мдк:", "102.500", "Мс12+в:",
                                 "220.750", "77.125", "", "23.500", "", ""}));
    EXPECT_EQ(rows[5][13], QStringLiteral("0.975"));
}

TEST_F(FormationGasRowsTest, compositionsShowTheirRecordsOnly)
{
    CompFractResult result;
    result.rows.push_back({1, "Метан", 0.126, 12.5, 75.25});
    result.rows.push_back({1000001, "НК-70", 4.5, 3.75, 1.134});
    EXPECT_EQ(tables.pg.compFract1.RowsOf(result, 0, 2),
              Rows({{"Метан", "0.13", "12.50", "75.25"}, {"НК-70", "4.50", "3.75", "1.13"}}));
    EXPECT_TRUE(tables.pg.compFract2.RowsOf(CompFractResult(), 0, 3).empty());
}
