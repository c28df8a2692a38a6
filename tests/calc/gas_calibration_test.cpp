#include <gtest/gtest.h>

#include <cfloat>

#include "calc/GasCalibration.h"
#include "support/CalcInputs.h"
#include "support/NumericCompare.h"
#include "support/RecalculationFixture.h"

// Expected numbers were worked out by hand from K = X / area, Kavr = ΣK / n,
// Rk = (max − min)·100 / Kavr and norm = 3.3·(r3a − r3b·X).

using namespace calc_inputs;

namespace {

struct Expected
{
    const char* name;
    std::vector<double> K;  // empty: not compared
    double Kavr, Rk, norm;
    bool ok;
};

void ExpectRows(const CalibrationResult& result, std::initializer_list<Expected> rows)
{
    for (const Expected& e : rows) {
        SCOPED_TRACE(e.name);
        const CalibrationRow* row = Find(result.rows, QString::fromUtf8(e.name));
        ASSERT_NE(row, nullptr);
        if (!e.K.empty()) {
            EXPECT_ALL_REL_NEAR(row->K, e.K);
        }
        EXPECT_REL_NEAR(row->Kavr, e.Kavr);
        EXPECT_REL_NEAR(row->Rk, e.Rk);
        EXPECT_REL_NEAR(row->norm, e.norm);
        EXPECT_EQ(row->ok, e.ok);
    }
}

class GasCalibrationTest : public RecalculationTest
{
protected:
    // The separator-gas calibration of a fresh recalculation.
    const CalibrationResult& Recalculate()
    {
        RecalculationTest::Recalculate();
        return data.gs().calibrationResult;
    }
};

} // namespace

TEST_F(GasCalibrationTest, threeRunsGiveFactorsRangesAndVerdicts)
{
    // The runs, not marked as calibration runs, name the second cylinder of
    // the kind; the first, whose components differ, plays no part.
    cylinders = {
        Cylinder(MixtureKindGs, "Б-2", {{"Метан", 70.0}, {"Водород", 0.01}, {"н-Пентан", 0.1}}),
        Cylinder(MixtureKindGs, "Б-1", {{"Метан", 80.0}, {"Этан", 5.0}, {"Пропан", 6.0}, {"н-Бутан", 0.5}, {"Аргон", 1.0}}),
    };
    records = {
        Record(5, "/lab/cal1.stg", {{"Метан", 1000}, {"Этан", 100}, {"Пропан", 300}, {"н-Бутан", 50}, {"Аргон", 20}}, "Калибровка Б-1"),
        Record(6, "/lab/cal2.stg", {{"Метан", 1004}, {"Этан", 104}, {"Пропан", 303}, {"н-Бутан", 51}, {"Аргон", 21}, {"Гелий", 5}}, "Калибровка Б-1"),
        Record(7, "/lab/cal3.stg", {{"Метан", 1002}, {"Этан", 100}, {"Пропан", 297}, {"Аргон", 19}}, "Калибровка Б-1"),
    };
    const CalibrationResult& r = Recalculate();

    EXPECT_EQ(r.nParallel, 3);
    EXPECT_EQ(Names(r.rows), QStringList({"Аргон", "Метан", "Этан", "Пропан", "н-Бутан", "и-Пентан", "н-Пентан",
                                          "нео-Пентан", "Группа С6", "Группа С7", "Группа С8"}));
    ExpectRows(r, {
        {"Метан", {0.08, 0.0796812749003984, 0.07984031936127745}, 0.07984053142055862, 0.39920212695318585, 0.858, true},
        {"Этан", {}, 0.04935897435897437, 3.896103896103895, 2.9205, false},
        {"Пропан", {}, 0.02000133346668, 2.0000666688889703, 0.0, false},            // 6 % lies above its range
        {"н-Бутан", {0.01, 0.00980392156862745, 0.0}, 0.006601307189542484, 151.4851485148515, 8.085, false},
        {"Аргон", {}, 0.05008354218880534, 10.008340283569641, 0.0, false},          // no table row
    });
    const CalibrationRow& methane = Named(r.rows, "Метан");
    EXPECT_REL_NEAR(methane.conc_mol, 80.0);  // the named cylinder supplies it
    EXPECT_ALL_REL_NEAR(methane.areas, {1000, 1004, 1002});
    EXPECT_ALL_REL_NEAR(Named(r.rows, "н-Бутан").areas, {50, 51, 0});
    EXPECT_ALL_REL_NEAR(Named(r.rows, "н-Пентан").K, {0.008, 0.00784313725490196, 0.0});  // from н-Бутан

    EXPECT_EQ(Except(log.errors(), {"ДК", "ПГ"}), Texts({
        "ГС Калибровка: Невозможно выполнить проверку по таблице 7.4 для компонента Пропан. Концентрация вне диапазона.",
        "ГС Калибровка 3: Компонент н-Бутан не найден в наборе хромотограмм.",
        "ГД Калибровка: Отсутствует ГД баллон.",
    }));
    EXPECT_EQ(log.warnings(), Texts({
        "ГС Калибровка: Невозможно выполнить проверку по таблице 7.4 для компонента Аргон. Компонент отсутствует в таблице.",
    }));
    EXPECT_EQ(log.infos(), Texts({"ГС Калибровка 2: Пик 'Гелий' не использован в расчете."}));
}

TEST_F(GasCalibrationTest, runsMatchedToTwoCylindersTakeEachItsOwnValuesWithAWarning)
{
    settings.general.enGsGradCorrect = 1;
    // Б-1 lacks helium and n-pentane, Б-2 oxygen and nitrogen; Б-3 is of the other gas.
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Метан", 80.0}, {"н-Бутан", 0.5}, {"Кислород", 0.2}, {"Азот", 2.0}}),
                 Cylinder(MixtureKindGs, "Б-2", {{"Метан", 90.0}, {"н-Бутан", 0.4}, {"Гелий", 0.05}, {"н-Пентан", 0.1}}),
                 Cylinder(MixtureKindGd, "Б-3", {{"Метан", 40.0}})};
    records = {Record(5, "/lab/c1.stg", {{"Метан", 1000}, {"н-Бутан", 50}, {"Гелий", 10}, {"н-Пентан", 20}, {"Азот", 500}, {"Кислород", 10}}, "Калибровка Б-2"),
               Record(6, "/lab/c2.stg", {{"Метан", 1000}, {"н-Бутан", 50}, {"Азот", 500}, {"Кислород", 10}}, "Калибровка Б-1"),
               Record(7, "/lab/c3.stg", {{"Метан", 1000}, {"н-Бутан", 50}, {"Азот", 400}, {"Кислород", 0}})};
    records[2].mixture = cylinders[2];  // the other gas's: the first of the kind, Б-1, is taken
    const CalibrationResult& r = Recalculate();

    // Run 1 against Б-2, runs 2 and 3 against Б-1; the table check and the
    // column hold the first run's values. н-Пентан: 0.1/20, then runs 2 and 3
    // from their н-Бутан, 0.01·4/5; Rk 0.003·100/0.007 against 3.3·(5 − 3·0.1).
    // A component a run's cylinder lacks is not counted: Гелий is 0.05/10 alone.
    // Азот: 2/500 and 2/400 checked, then run 2 corrected to 500 − 3.73·10
    // with its own 2; run 1 has no certified value to correct.
    const double no = -DBL_MAX;  // shown as unset
    ExpectRows(r, {
        {"Метан", {0.09, 0.08, 0.08}, 0.08333333333333333, 12.0, 0.594, false},
        {"н-Бутан", {0.008, 0.01, 0.01}, 0.009333333333333334, 21.428571428571427, 8.514, false},
        {"н-Пентан", {0.005, 0.008, 0.008}, 0.007, 42.857142857142854, 15.51, false},
        {"Гелий", {0.005, no, no}, 0.005, 0.0, 15.675, true},
        {"Кислород", {no, 0.02, 0.0}, 0.01, 200.0, 15.18, false},
        {"Азот", {no, 0.004322455154527772, 0.005}, 0.004661227577263886, 22.22222222222222, 10.23, false},
    });
    EXPECT_REL_NEAR(Named(r.rows, "Метан").conc_mol, 90.0);
    EXPECT_ALL_REL_NEAR(Named(r.rows, "Азот").areas, {500, 462.7, 400});
    EXPECT_EQ(Only(log.warnings(), "ГС"), Texts({
        "ГС Калибровка 3: В названии пробы хроматограммы /lab/c3.stg не найден баллон ГС, использован баллон Б-1.",
        "ГС Калибровка: Хроматограммы калибровки относятся к разным баллонам: ГС Калибровка 1 (Б-2), ГС Калибровка 2 (Б-1), ГС Калибровка 3 (Б-1).",
        "ГС Калибровка 1: Компонент Азот отсутствует в баллоне Б-2, коэффициент не учтён в среднем и размахе.",
        "ГС Калибровка 2: Компонент Гелий отсутствует в баллоне Б-1, коэффициент не учтён в среднем и размахе.",
        "ГС Калибровка 3: Компонент Гелий отсутствует в баллоне Б-1, коэффициент не учтён в среднем и размахе.",
        "ГС Калибровка 1: Компонент Кислород отсутствует в баллоне Б-2, коэффициент не учтён в среднем и размахе.",
    }));
    EXPECT_TRUE(Except(log.errors(), {"ДК", "ПГ", "ГД"}).empty());
}

TEST_F(GasCalibrationTest, fiveRunsCheckBothBoundsOfTheTable)
{
    settings.general.QtyGsCalib = 1;
    cylinders = {Cylinder(MixtureKindGs, "Б-5", {{"Метан", 90.0}, {"Азот", 2.0}, {"Гелий", 0.2}, {"н-Бутан", 0.05}, {"Водород", 0.5}})};
    const double areas[5][5] = {{900, 20, 2, 5, 100}, {901, 20.5, 2, 5.5, 100}, {902, 21, 2, 5, 100},
                                {900, 20, 2, 5, 100}, {901, 19.5, 2, 5, 130}};
    for (int i = 0; i < 5; ++i) {
        records.push_back(Record(5 + i, "/lab/c.stg", {{"Метан", areas[i][0]}, {"Азот", areas[i][1]}, {"Гелий", areas[i][2]},
                                                        {"н-Бутан", areas[i][3]}, {"Водород", areas[i][4]}}, "Б-5"));
    }
    const CalibrationResult& r = Recalculate();

    EXPECT_EQ(r.nParallel, 5);
    EXPECT_EQ(Names(r.rows).mid(0, 5), QStringList({"Водород", "Гелий", "Метан", "Азот", "н-Бутан"}));
    ExpectRows(r, {
        {"Метан", {0.1, 0.09988901220865705, 0.09977827050997783, 0.1, 0.09988901220865705}, 0.0999112589854584,
         0.22192642978750884, 0.594, true},  // still 3.3 times with five runs
        {"Азот", {}, 0.09907263468239078, 7.3945821159326215, 10.23, true},
        {"Гелий", {}, 0.1, 0.0, 0.0, false},                                           // 0.2 lies above 0.1
        {"н-Бутан", {}, 0.00981818181818182, 9.259259259259247, 10.0155, true},       // on the lower bound
        {"Водород", {}, 0.0047692307692307695, 24.193548387096772, 13.2, false},       // on the upper bound
    });
    EXPECT_EQ(Named(r.rows, "н-Пентан").K.size(), 5u);
    EXPECT_EQ(Except(log.errors(), {"ДК", "ПГ"}), Texts({
        "ГС Калибровка: Невозможно выполнить проверку по таблице 7.4 для компонента Гелий. Концентрация вне диапазона.",
        "ГД Калибровка: Отсутствует ГД баллон.",
    }));

    // Three runs of five: the missing two count as 0, and each is named.
    records.resize(3);
    ExpectRows(Recalculate(), {{"Метан", {0.1, 0.09988901220865705, 0.09977827050997783, 0.0, 0.0},
                                0.05993345654372698, 166.85171482983094, 0.594, false}});
    EXPECT_EQ(Except(log.errors(), {"ДК", "ПГ"}).size(), 2u);
    EXPECT_EQ(log.warnings(), Texts({"ГС Калибровка 4: нет хроматограммы, параллель учтена как 0.", "ГС Калибровка 5: нет хроматограммы, параллель учтена как 0."}));
}

TEST_F(GasCalibrationTest, derivesPentanesAndGroupsFromButane)
{
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"н-Бутан", 0.5}})};
    records = {Record(5, "/lab/c1.stg", {{"н-Бутан", 50}}, "Б-1"), Record(6, "/lab/c2.stg", {{"н-Бутан", 51}}, "Б-1")};
    const CalibrationResult& r = Recalculate();

    // K(н-Бутан) = {0.01, 0.5/51, 0} times 4/5, 4/6, 4/7, 4/8; no check, no message.
    ExpectRows(r, {
        {"и-Пентан", {0.008, 0.00784313725490196, 0.0}, 0.005281045751633987, 151.4851485148515, 0.0, true},
        {"н-Пентан", {0.008, 0.00784313725490196, 0.0}, 0.005281045751633987, 151.4851485148515, 0.0, true},
        {"нео-Пентан", {}, 0.005281045751633987, 151.4851485148515, 0.0, true},
        {"Группа С6", {0.006666666666666667, 0.006535947712418301, 0.0}, 0.004400871459694989, 151.4851485148515, 0.0, true},
        {"Группа С7", {}, 0.003772175536881419, 151.4851485148515, 0.0, true},
        {"Группа С8", {0.005, 0.004901960784313725, 0.0}, 0.003300653594771242, 151.4851485148515, 0.0, true},
    });
    EXPECT_EQ(Named(r.rows, "Группа С6").id, 99);
    EXPECT_EQ(Named(r.rows, "нео-Пентан").id, 8);
    EXPECT_TRUE(Named(r.rows, "Группа С8").areas.empty());
    EXPECT_EQ(log.warnings(), Texts({"ГС Калибровка 3: нет хроматограммы, параллель учтена как 0."}));

    // A measured н-Гексан stops "Группа С6"; a measured "Группа С7" does not stop a second one.
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"н-Бутан", 0.5}, {"н-Пентан", 0.1}, {"н-Гексан", 0.2}, {"Группа С7", 0.1}})};
    records = {Record(5, "/lab/c1.stg", {{"н-Бутан", 50}, {"н-Пентан", 10}, {"н-Гексан", 20}, {"Группа С7", 10}}, "Б-1")};
    EXPECT_EQ(Names(Recalculate().rows), QStringList({"н-Бутан", "и-Пентан", "н-Пентан", "нео-Пентан", "н-Гексан",
                                                      "Группа С7", "Группа С7", "Группа С8"}));
    EXPECT_REL_NEAR(Named(data.gs().calibrationResult.rows, "Группа С7", 1).Kavr, 0.0019047619047619048);

    // A run whose cylinder lacks н-Бутан leaves its pentane unset, not −∞:
    // н-Пентан {0.5/50·4/5, unset, 0}, Kavr 0.008/2, Rk 0.008·100/0.004.
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"н-Бутан", 0.5}}), Cylinder(MixtureKindGs, "Б-2", {{"Метан", 80.0}})};
    records = {Record(5, "/lab/c1.stg", {{"н-Бутан", 50}}, "Б-1"), Record(6, "/lab/c2.stg", {{"Метан", 800}}, "Б-2")};
    ExpectRows(Recalculate(), {{"н-Пентан", {0.008, -DBL_MAX, 0.0}, 0.004, 200.0, 0.0, true}});
}

TEST_F(GasCalibrationTest, nitrogenCorrectionSkipsRunsWithoutOxygenOrWithTooMuchOfIt)
{
    settings.general.enGsGradCorrect = 1;
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Кислород", 0.2}, {"Азот", 2.0}, {"н-Бутан", 0.5}})};
    records = {
        Record(5, "/lab/c1.stg", {{"Кислород", 10}, {"Азот", 500}, {"н-Бутан", 50}}, "Б-1"),
        Record(6, "/lab/c2.stg", {{"Кислород", 0}, {"Азот", 520}, {"н-Бутан", 50}}, "Б-1"),
        Record(7, "/lab/c3.stg", {{"Кислород", 20}, {"Азот", 60}, {"н-Бутан", 50}}, "Б-1"),
    };
    const CalibrationResult& r = Recalculate();

    // Run 1: 500 − 3.73·10; run 2 has no oxygen; run 3 would fall below zero.
    // Rk, norm and verdict stay those of the factors before the correction.
    ExpectRows(r, {{"Азот", {0.004322455154527772, 0.0038461538461538464, 0.03333333333333333}, 0.013833980778004984,
                    214.81942714819428, 10.23, false},
                   {"Кислород", {0.02, 0.0, 0.01}, 0.01, 200.0, 15.18, false}});
    EXPECT_ALL_REL_NEAR(Named(r.rows, "Азот").areas, {462.7, 520, 60});
    EXPECT_EQ(log.warnings(), Texts({
        "ГС Калибровка: Коррекция Азота в хроматограмме ГС Калибровка 3 не произведена (площадь пика Азота после коррекции не больше нуля).",
    }));
    EXPECT_EQ(log.infos(), Texts({"ГС Калибровка: Проведена коррекция азота по СТО Газпром 5.40 - 2011 п. 7.3.2.2."}));

    // No oxygen in any run: nothing is corrected and nothing said.
    for (ChromatogramRecord& record : records)
        record.peakTable.peaks()[0].area = 0;
    ExpectRows(Recalculate(), {{"Азот", {0.004, 0.0038461538461538464, 0.03333333333333333}, 0.013726495726495725,
                                214.81942714819428, 10.23, false}});
    EXPECT_TRUE(log.warnings().empty());
    EXPECT_TRUE(log.infos().empty());

    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Азот", 2.0}, {"н-Бутан", 0.5}})};
    Recalculate();
    EXPECT_EQ(log.warnings(), Texts({"ГС Калибровка: Коррекция Азота в не произведена (не найден пик Кислорода)."}));
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Кислород", 0.2}, {"н-Бутан", 0.5}})};
    Recalculate();
    EXPECT_EQ(log.warnings(), Texts({"ГС Калибровка: Коррекция Азота не произведена (не найден пик Азота)."}));
    settings.general.enGsGradCorrect = 0;
    Recalculate();
    EXPECT_TRUE(log.warnings().empty());
}

TEST_F(GasCalibrationTest, degassingGasRowsComeByMolarMassWithTheirOwnPrefix)
{
    settings.general.QtyGdCalib = 1;
    settings.general.enGdGradCorrect = 1;
    cylinders = {
        Cylinder(MixtureKindGs, "ГС-баллон", {{"Метан", 50.0}}),
        Cylinder(MixtureKindGd, "ГД-баллон", {{"Водород", 0.6}, {"Метан", 80.0}, {"Азот", 2.0}, {"Этан", 5.0}, {"Аргон", 1.0},
                                              {"Диоксид углерода", 3.0}, {"н-Бутан", 0.5}, {"Кислород", 0.2}}),
    };
    records = {Record(19, "/lab/gd1.stg", {{"Водород", 10}, {"Метан", 800}, {"Азот", 300}, {"Этан", 50}, {"Аргон", 10},
                                           {"Диоксид углерода", 30}, {"н-Бутан", 5}, {"Кислород", 10}})};
    Recalculate();

    const CalibrationResult& r = data.gd().calibrationResult;
    EXPECT_EQ(Names(r.rows), QStringList({"Водород", "Метан", "Азот", "Этан", "Кислород", "Аргон", "Диоксид углерода",
                                          "н-Бутан", "н-Пентан", "и-Пентан", "нео-Пентан", "Группа С6", "Группа С7", "Группа С8"}));
    EXPECT_ALL_REL_NEAR(Named(r.rows, "Метан").K, {0.1, 0, 0, 0, 0});
    EXPECT_ALL_REL_NEAR(Named(r.rows, "Азот").areas, {262.7, 0, 0, 0, 0});
    EXPECT_EQ(Except(log.errors(), {"ДК", "ПГ"}), Texts({
        "ГС Калибровка: Компонент Метан не найден в хромотограммах.",
        "ГД Калибровка: Невозможно выполнить проверку по таблице 7.4 для компонента Водород. Концентрация вне диапазона.",
    }));
    EXPECT_EQ(Except(log.warnings(), "ГД Калибровка "), Texts({
        "ГС Калибровка: Не найден н-бутан для расчета пентанов/с6/с7/с8.",
        "ГД Калибровка: Невозможно выполнить проверку по таблице 7.4 для компонента Аргон. Компонент отсутствует в таблице.",
    }));
    EXPECT_EQ(log.infos(), Texts({"ГД Калибровка: Проведена коррекция азота по СТО Газпром 5.40 - 2011 п. 7.3.2.2."}));
}

TEST_F(GasCalibrationTest, missingCylindersChromatogramsAndConcentrationsAreReported)
{
    records = {Record(5, "/lab/c1.stg", {{"Метан", 900}, {"Этан", 100}})};
    EXPECT_TRUE(Recalculate().rows.empty());
    EXPECT_EQ(data.gs().calibrationResult.nParallel, 0);
    EXPECT_TRUE(data.gs().calibration.workingPeaks().empty());  // nothing was taken over
    EXPECT_EQ(Except(log.errors(), {"ДК", "ПГ"}), Texts({"ГС Калибровка: Отсутствует ГС баллон.", "ГД Калибровка: Отсутствует ГД баллон."}));
    EXPECT_TRUE(log.warnings().empty());

    // A concentration never typed in (the dialog's −1) gives no row; its peak is used up.
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Метан", -1.0}, {"Этан", 5.0}})};
    EXPECT_EQ(Names(Recalculate().rows), QStringList({"Этан"}));
    EXPECT_EQ(log.errors().front(), QString("ГС Калибровка: Концентрация компонента Метан в баллоне не задана."));
    EXPECT_TRUE(log.infos().empty());
    EXPECT_TRUE(Only(log.warnings(), "ГС Калибровка 1:").empty());  // the one cylinder of the kind: nothing to choose
    // Nor does one never typed in for the cylinder of a later run.
    cylinders.insert(cylinders.begin(), Cylinder(MixtureKindGs, "Б-0", {{"Метан", 80.0}, {"Этан", 5.0}}));
    records.push_back(Record(6, "/lab/c2.stg", {{"Метан", 900}, {"Этан", 100}}));
    records[1].mixture = cylinders[1];
    EXPECT_EQ(Names(Recalculate().rows), QStringList({"Этан"}));
    EXPECT_EQ(log.errors().front(), QString("ГС Калибровка: Концентрация компонента Метан в баллоне не задана."));

    settings.general.enGsGradCorrect = 1;
    records.clear();
    EXPECT_TRUE(Recalculate().rows.empty());
    EXPECT_EQ(Except(log.errors(), {"ДК", "ПГ"}), Texts({"ГС Калибровка: Компонент Метан не найден в хромотограммах.",
                                   "ГС Калибровка: Компонент Этан не найден в хромотограммах.",
                                   "ГД Калибровка: Отсутствует ГД баллон."}));
    EXPECT_EQ(log.warnings(), Texts({"ГС Калибровка: Коррекция Азота в не произведена (не найден пик Кислорода).",
                                     "ГС Калибровка: Не найден н-бутан для расчета пентанов/с6/с7/с8."}));

    // One cylinder of each gas: runs naming none take their gas's without a
    // word, but a sample naming only the other gas's is mistyped and warned of.
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Метан", 80.0}}), Cylinder(MixtureKindGd, "Б-9", {{"Метан", 40.0}})};
    records = {Record(5, "/lab/c1.stg", {{"Метан", 900}}), Record(6, "/lab/c2.stg", {{"Метан", 900}}, "Калибровка Б-9"),
               Record(19, "/lab/d1.stg", {{"Метан", 900}})};
    Recalculate();
    EXPECT_TRUE(Only(log.warnings(), "ГС Калибровка 1:").empty());
    EXPECT_TRUE(Only(log.warnings(), "ГД Калибровка 1:").empty());
    EXPECT_EQ(Only(log.warnings(), "ГС Калибровка 2:"),
              Texts({"ГС Калибровка 2: В названии пробы хроматограммы /lab/c2.stg не найден баллон ГС, использован баллон Б-1."}));
}

TEST_F(GasCalibrationTest, zeroAreasGiveZeroFactorsSilentlyAndAnAllZeroRowPasses)
{
    cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Метан", 80.0}, {"Этан", 5.0}})};
    records = {
        Record(5, "/lab/c1.stg", {{"Метан", 0}, {"Этан", 100}}, "Б-1"),
        Record(6, "/lab/c2.stg", {{"Метан", 0}, {"Этан", 0}}, "Б-1"),
        Record(7, "/lab/c3.stg", {{"Метан", 0}, {"Этан", 100}}, "Б-1"),
    };
    const CalibrationResult& r = Recalculate();

    // Метан: nothing to divide by, so Kavr and Rk are 0, and 0.858 ≥ 0 passes.
    // Этан: {0.05, 0, 0.05}, Kavr 0.1 / 3, Rk 0.05·100 / (0.1 / 3) = 150.
    ExpectRows(r, {{"Метан", {0.0, 0.0, 0.0}, 0.0, 0.0, 0.858, true},
                   {"Этан", {0.05, 0.0, 0.05}, 0.03333333333333333, 150.0, 2.9205, false}});
    EXPECT_ALL_REL_NEAR(Named(r.rows, "Метан").areas, {0, 0, 0});
    EXPECT_EQ(Except(log.errors(), {"ДК", "ПГ"}), Texts({"ГД Калибровка: Отсутствует ГД баллон."}));
    EXPECT_EQ(log.warnings(), Texts({"ГС Калибровка: Не найден н-бутан для расчета пентанов/с6/с7/с8."}));
    EXPECT_TRUE(log.infos().empty());
}

TEST(GasCalibrationCatalogue, componentsMissingFromTheCatalogueGiveNoRows)
{
    GasComponentTable catalogue;  // no pentane isomers, no groups
    catalogue.AddGasComponent("CH4", "Метан", 0.0436, 16.043);
    catalogue.AddGasComponent("C4H10", "н-Бутан", 0.1783, 58.123);
    catalogue.AddGasComponent("C5H12", "н-Пентан", 0.2345, 72.15);
    catalogue.AddGasComponent("C6H14", "н-Гексан", 0.2846, 86.177);
    catalogue.RebuildSearchIndex();
    TempComponentTable temperatures;
    MessageLog log;
    const MixtureList cylinders = {Cylinder(MixtureKindGs, "Б-1", {{"Метан", 80.0}, {"н-Бутан", 0.5}, {"Ксенон", 1.0}})};
    const KnownPeakMap peaks = {{5, {PeakItem{{}, "Метан", 0, 800}, PeakItem{{}, "н-Бутан", 0, 50}, PeakItem{{}, "Ксенон", 0, 10}}}};
    CalcGsCalibration calibration;
    const CalibrationResult r = calibration.Calculate(&cylinders, {}, peaks, nullptr, {log, catalogue, temperatures});

    EXPECT_EQ(Names(r.rows), QStringList({"Метан", "н-Бутан", "н-Пентан"}));
    // The table goes by the built-in ids: here н-Бутан has id 2 and is held to the row of Этан.
    EXPECT_EQ(log.errors(), Texts({
        "ГС Калибровка: Компонент Ксенон из баллона не найден в списке компонентов.",
        "ГС Калибровка: Невозможно выполнить проверку по таблице 7.4 для компонента н-Бутан. Концентрация вне диапазона.",
    }));
}

TEST(GasCalibrationTable, looksRowsUpByComponentId)
{
    const std::pair<int, int> rows[] = {{77, 1}, {1, 3}, {79, 7}, {90, 8}, {9, 15}, {99, 15}, {21, 16}, {100, 16},
                                        {32, 17}, {101, 17}, {0, -1}, {-1, -1}, {87, -1}, {102, -1}};
    for (const auto& [id, rowNo] : rows)
        EXPECT_EQ(CalibrationTableRow(id).rowNo, rowNo) << id;
    EXPECT_EQ(CalibrationTableRow(87).r3a, 0.0);

    CalibrationRow unknown, known;
    unknown.id = 87;
    known.id = 1;
    EXPECT_TRUE(CompareCalibrationRows(unknown, known));
    EXPECT_FALSE(CompareCalibrationRows(known, unknown));
}
