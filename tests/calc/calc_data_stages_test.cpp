#include <gtest/gtest.h>

#include "support/CalcInputs.h"
#include "support/NumericCompare.h"
#include "support/RecalculationFixture.h"

// The sulphur-compound and methanol stages inside a whole recalculation: what
// they pass to the analysis checks, and every message in its order. Expected
// numbers were worked out by hand: factors x / area of the cylinders, the
// analyses normalised to 100 % per run, the density ΣxM·P / (R·293.15·(1 −
// (Σx·b)²)) from the mean composition, the sulphur compounds' mole % summed,
// the methanol mole %, and final = (100 − S − M)·normalised / 100.

using namespace calc_inputs;

namespace {

class CalcDataStagesTest : public RecalculationTest
{
protected:
    CalcDataStagesTest()
    {
        settings.params.GsPressure = 100.0;
        settings.params.GsVol1 = 50.0;
        settings.params.GsVol2 = 20.0;
        settings.params.GsTemp = 20.0;
        settings.params.GdPressure = 99.0;
        settings.params.GdVol1 = 40.0;
        settings.params.GdVol2 = 8.0;
        settings.params.DcAvg = 120.0;  // the condensate density is left unset
        settings.params.DcVol1 = 10.0;
        settings.params.DcVol2 = 50.0;
        settings.general.QtyDcMeth = 1;

        cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Метан", 90.0}, {"Этан", 8.0}, {"н-Бутан", 0.5}}),
                     Cylinder(MixtureKindGd, "Б-2", {{"Метан", 95.0}, {"Этан", 4.0}, {"н-Бутан", 1.0}})};
        for (int slot : {5, 6, 7})
            records.push_back(Record(slot, "/lab/gs-cal.stg", {{"Метан", 900}, {"Этан", 160}, {"н-Бутан", 50}}, "Б-1"));
        for (int slot : {19, 20, 21})
            records.push_back(Record(slot, "/lab/gd-cal.stg", {{"Метан", 950}, {"Этан", 80}, {"н-Бутан", 100}}, "Б-2"));
        auto run = [this](int slot, std::initializer_list<Peak> peaks) { records.push_back(Record(slot, "/lab/run.stg", peaks)); };
        run(2, {{"Метан", 880}, {"Этан", 170}, {"н-Бутан", 45}});
        run(3, {{"Метан", 890}, {"Этан", 165}, {"н-Бутан", 50}});
        run(10, {{"Метан", 5}, {"Сульфид водорода", 0, 2900}, {"Метантиол", 0, 30}, {"Карбонилсульфид", 0, 0.5}});
        run(11, {{"Сульфид водорода", 0, 3000}, {"Метантиол", 0, 28}, {"Карбонилсульфид", 0, 0.5}});
        run(12, {{"Сульфид водорода", 0, 2800}, {"Карбонилсульфид", 0, 0.5}});
        run(13, {{"Метанол", 0, 1580}});
        run(14, {{"Метанол", 0, 1620}});
        run(15, {{"Метанол", 0, 1600}});  // beyond two parallels
        run(16, {{"Метан", 900}, {"Этан", 70}, {"н-Бутан", 110}});
        run(17, {{"Метан", 905}, {"Этан", 72}, {"н-Бутан", 108}});
        run(24, {{"Сульфид водорода", 0, 2100}});
        run(25, {{"Сульфид водорода", 0, 2200}});
        run(27, {{"Метанол", 0, 50}});
        run(28, {{"Метан", 1}});
        run(34, {{"Сульфид водорода", 0, 10}});
        run(35, {{"Сульфид водорода", 0, 12}});
        run(37, {{"Метанол", 0, 300}});
        run(38, {{"Метанол", 0, 310}});
        run(39, {{"Метан", 1}});
    }
};

struct FinalRow
{
    std::vector<double> finalConc;
    double mean;
};

void ExpectFinal(const GasAnalysisResult& r, std::initializer_list<FinalRow> rows)
{
    ASSERT_EQ(r.rows.size(), rows.size());
    std::size_t i = 0;
    for (const FinalRow& e : rows) {
        SCOPED_TRACE(r.rows[i].name.toStdString());
        EXPECT_ALL_REL_NEAR(r.rows[i].finalConc, e.finalConc);
        EXPECT_REL_NEAR(r.rows[i].mean, e.mean);
        ++i;
    }
}

} // namespace

TEST_F(CalcDataStagesTest, analysisChecksTakeTheSulphurAndMethanolSharesOff)
{
    Recalculate();

    EXPECT_REL_NEAR(data.GetGsAnalysisResult().density, 0.7178045079275664);
    const SulphurResult gsSulphur = data.GetGsSulphurResult();
    EXPECT_EQ(Names(gsSulphur.rows), QStringList({"Сульфид водорода", "Метантиол", "Карбонилсульфид"}));
    EXPECT_ALL_REL_NEAR(gsSulphur.rows[0].conc, {0.4040097224205004, 0.4179410921591383, 0.3900783526818625});
    EXPECT_REL_NEAR(gsSulphur.molConcTotal, 0.20553981532503476);
    EXPECT_REL_NEAR(gsSulphur.mercaptanSulphurTotal, 0.0017948896188240927);
    const GasMethanolResult gsMethanol = data.GetGsMethanolResult();
    ASSERT_EQ(gsMethanol.rows.size(), 1u);
    EXPECT_ALL_REL_NEAR(gsMethanol.rows[0].conc, {4.0023375, 4.1036625});
    EXPECT_REL_NEAR(gsMethanol.methanol, 0.30408251669683545);
    ExpectFinal(data.GetGsAnalysisResult(), {
        {{90.30586111172846, 90.58458938567829}, 90.44522524870337},
        {{8.722725221019227, 8.396886094739841}, 8.559805657879533},
        {{0.46179133523042964, 0.5089021875599904}, 0.48534676139521005},
    });

    EXPECT_REL_NEAR(data.GetGdAnalysisResult().density, 0.6940918873251863);
    EXPECT_REL_NEAR(data.GetGdSulphurResult().molConcTotal, 0.15165189836277215);
    EXPECT_REL_NEAR(data.GetGdMethanolResult().methanol, 0.009378315960302103);
    ExpectFinal(data.GetGdAnalysisResult(), {
        {{94.98422072633112, 94.92988827068463}, 94.95705449850787},
        {{3.6938308060239877, 3.7762165499940847}, 3.7350236780090365},
        {{1.160918253321825, 1.1328649649982254}, 1.1468916091600252},
    });

    // The condensate without its density: its methanol is not counted by mass.
    const CondensateMethanolResult dcMethanol = data.GetDcMethanolResult();
    ASSERT_EQ(dcMethanol.rows.size(), 1u);
    EXPECT_ALL_REL_NEAR(dcMethanol.rows[0].conc, {60, 62, 0});
    EXPECT_EQ(dcMethanol.methanol, 0.0);
}

TEST_F(CalcDataStagesTest, messagesComeInTheOrderOfTheStages)
{
    const std::vector<QString> errors = Texts({
        "ГС ССС 3: Компонент Метантиол не найден в наборе хроматограмм.",
        "ГС CCC: Невозможно выполнить проверку по таблице 7.7 для компонента Карбонилсульфид. Концентрация вне диапазона.",
        "ГД Метанол 2: Компонент Метанол не найден в наборе хромотограмм.",
        "ГД Анализ: Невозможно выполнить проверку по таблице 8.1 для компонента Метан. Концентрация вне диапазона.",
        "ДК Температурная: Температурная хроматограмма не задана.",
        "ДК ССС: Не задан параметр 'Плотность дегазированного конденсата, г/см3'.",
        "ДК ССС: Невозможно выполнить проверку по таблице 8.8 для компонента Сульфид водорода. Концентрация вне диапазона.",
        "ДК Метанол: Не задан параметр 'Плотность дегазированного конденсата, г/см3'.",
        "ДК Метанол 3: Компонент Метанол не найден в наборе хроматограмм.",
        "ДК С6С44 Фр.: Невозможно рассчитать фракции, отсутствует хроматограмма: ДК С6С44 1.",
        "ДК С6С44 Гр.: Невозможно рассчитать группы, отсутствует хроматограмма: ДК С6С44 1.",
        "ПГ Способ 1: В расчете 'ДК С6С44 Гр.' есть ошибки.",
        "ПГ Способ 1: В расчете 'ДК ССС' есть ошибки.",
        "ПГ Способ 1: В расчете 'ДК Метанол' есть ошибки.",
        "ПГ Способ 1: Не задан параметр 'Объём пробоотборника, в который отобрана проба КГН, см3'.",
        "ПГ Способ 2: Не задан параметр 'Объём пробоотборника, в который отобрана проба КГН, см3'.",
        "ПГ Комп.-фракц. Способ 1: В расчете 'ДК С6-С44 Фр.' есть ошибки.",
        "ПГ Комп.-фракц. Способ 1: В расчете 'ПГ Способ 1' есть ошибки.",
        "ПГ Комп.-фракц. Способ 2: В расчете 'ДК С6-С44 Фр.' есть ошибки.",
        "ПГ Комп.-фракц. Способ 2: В расчете 'ПГ Способ 2' есть ошибки.",
    });
    const std::vector<QString> infos = Texts({
        "ГС ССС 1: Пик 'Метан' не использован в расчете.",
        "ГС Метанол 3: Пик 'Метанол' не использован в расчете.",
        "ГД Метанол 2: Пик 'Метан' не использован в расчете.",
        "ДК Метанол 3: Пик 'Метан' не использован в расчете.",
    });

    Recalculate();
    EXPECT_EQ(log.errors(), errors);
    EXPECT_TRUE(log.warnings().empty());
    EXPECT_EQ(log.infos(), infos);
    const double sulphurShare = data.GetGsSulphurResult().molConcTotal;

    // Nothing is left over in the working lists for the next run.
    Recalculate();
    EXPECT_EQ(log.errors(), errors);
    EXPECT_EQ(log.infos(), infos);
    EXPECT_EQ(data.GetGsSulphurResult().molConcTotal, sulphurShare);
    EXPECT_EQ(data.GetGdSulphurResult().rows.size(), 1u);
}
